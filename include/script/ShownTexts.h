#pragma once

// The texts a player reads, as the scripts give them: speeches (in the context of their speaker's script name),
// texts, choices and the speaker names dialogs show. The script linter collects them while the scripts are read;
// "velloria translate" writes them as the translation template "lang/messages.pot", and "velloria check" compares
// the game's translations "lang/*.po" with them.

#include "script/ParseManager.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Vel {

class ShownTexts
{
public:
    // Collecting costs more than the rest of a check of a long game, so only a run that needs the texts does it.
    void Collect() { m_collecting = true; }
    [[nodiscard]] bool IsCollecting() const { return m_collecting; }
    // Whether the game folder holds any translation "lang/*.po" for a check to compare.
    [[nodiscard]] static bool GameHasTranslations();

    // context: a speaker's script name, empty for texts no one says. An empty text is nothing to translate.
    void Add(std::u16string context, std::u16string text, const SourcePosition* where);

    // The template: a POT header naming the project, then each distinct text and context once, in reading order,
    // with every place it appears.
    [[nodiscard]] std::string Template(const std::string& project) const;
    // Writes the template to the file through a temporary file beside it; false with error set when it cannot.
    [[nodiscard]] bool WriteTemplate(const std::string& fileName, const std::string& project, std::string& error) const;
    // For each translation "lang/*.po" of the game folder: its entries that no script has any more, and a file that
    // cannot be read, "FILE, line N: ...".
    [[nodiscard]] std::vector<std::string> StaleEntries() const;

private:
    struct Text
    {
        std::u16string context;
        std::u16string text;
        std::vector<std::string> places; // "FILE:LINE"
    };

    bool m_collecting = false;
    std::vector<Text> m_texts;
    std::map<std::u16string, std::size_t> m_index; // PoCatalog::Key of a text: its place in m_texts
};

} // namespace Vel
