#pragma once

// One translation of a game's texts, read from a gettext PO file ("lang/CODE.po") by gettext's own PO parser,
// libgettextpo. The language record (Translations) reads the player's language through it, and "velloria check"
// reads every PO file of the game through it to find entries the scripts no longer have. A file that libgettextpo
// reports any error in is refused whole, with the line of its first error.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Vel {

struct PoEntry
{
    std::optional<std::u16string> context; // msgctxt; none when the entry has none (an empty one is a context too)
    std::u16string text;    // msgid, the game's own text
    std::u16string translation;
    bool fuzzy = false;
    std::int64_t line = 0; // the line of its msgid in the file; 0 when it could not be told

    // gettext's key of this entry: an empty msgctxt still makes a key of its own, one that no game text looks up.
    [[nodiscard]] std::u16string Key() const;
};

class PoCatalog
{
public:
    // The catalog of a PO file's bytes; nothing when the text is damaged, with error set to "NAME, line N: REASON"
    // (", line N" left out when libgettextpo names no line). name only labels the error.
    [[nodiscard]] static std::optional<PoCatalog> Read(const std::string& bytes, const std::string& name,
                                                       std::string& error);

    // The translation of the text said in the context; nullptr when the entry is missing, fuzzy or untranslated.
    [[nodiscard]] const std::u16string* Find(std::u16string_view context, std::u16string_view text) const;
    // Every entry but the header and the obsolete ones, in the file's order.
    [[nodiscard]] const std::vector<PoEntry>& Entries() const { return m_entries; }

    // gettext's own key of a text in a context: the context, U+0004, the text; the text alone without a context.
    // The game's texts have no empty context: a speech's is its character's name.
    [[nodiscard]] static std::u16string Key(std::u16string_view context, std::u16string_view text);

private:
    void Add(PoEntry entry);

    std::vector<PoEntry> m_entries;
    std::map<std::u16string, std::u16string, std::less<>> m_translations;
};

} // namespace Vel
