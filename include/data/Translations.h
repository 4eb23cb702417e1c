#pragma once

// The language the game is shown in: the translated texts of "lang/CODE.po" and the translated files of
// "lang/CODE/". One process-wide record. The engine sets it from the player's preference (or --lang) whenever that
// changes; the commands that show texts (speeches, texts, choices, speaker names) ask it for the text at the moment
// they show it, so a switch applies from the next text shown; the picture and sound loaders ask it for the file name
// when they open a file. The game's own text is the empty code.
//
// A PO file that cannot be read is not used at all and named once in the log with the line of its damage; the
// language then shows the game's own texts, and its translated files still.

#include "data/PoCatalog.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace Vel {

class Translations
{
public:
    [[nodiscard]] static Translations& Get();

    // Reads lang/CODE.po (from the disk or an archive) unless the code is the current one already; "" returns to
    // the game's own texts. A code that is no plain name (letters, digits, '_', '-', '@') is logged and taken as "".
    void Use(const std::string& code);
    [[nodiscard]] const std::string& Code() const { return m_code; }

    // The text as the language says it in the context (a speaker's script name; empty for other texts); the text
    // itself when the language has no translation of it.
    [[nodiscard]] const std::u16string& Text(std::u16string_view context, const std::u16string& text) const;
    // "lang/CODE/" and the name when the language has that file, else the name. Each name is looked for once per
    // language.
    [[nodiscard]] std::string FileName(const std::string& name);

    // A plain name: letters, digits, '_', '-', '@', at most 32; the empty code too.
    [[nodiscard]] static bool IsCode(const std::string& code);
    // The PO file of a code: "lang/CODE.po".
    [[nodiscard]] static std::string PoFileName(const std::string& code);

private:
    void Log(const std::string& line);

    std::string m_code;
    std::optional<PoCatalog> m_catalog;
    std::map<std::string, std::string, std::less<>> m_fileNames; // asked-for name: the name to open
    std::set<std::string> m_logged;                              // each complaint once per run
};

} // namespace Vel
