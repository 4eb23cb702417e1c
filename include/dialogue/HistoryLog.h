#pragma once

// The story as the player saw it go by: the last lines of text and speech shown, and the choices taken, oldest
// first. The speech and text commands add a line when they show it, a choice its text when the player takes it;
// the history screen reads the log; a save writes it and a load puts the saved one back in place. Start-up creates
// the one instance with the other managers.

#include "core/VelSingleton.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace Vel {

class Serializer;
class Style;
class Textbox;

struct HistoryEntry
{
    std::string name{};           // the speaker's name as shown, in the game's code page; empty for a text or choice
    std::string text{};           // as it appeared: the game's code page, '\n' where "^" broke the line
    std::u16string unicodeName{}; // the same two in Unicode, as TrueType styles draw them
    std::u16string unicodeText{};
    std::u16string voice{};     // the line's voice file; empty for none
    Style* nameStyle = nullptr; // borrowed from the resource manager, which outlives the log; null for none
    Style* textStyle = nullptr;
};

class HistoryLog : public Singleton<HistoryLog>
{
public:
    static constexpr std::size_t kCapacity = 200;

    HistoryLog();
    ~HistoryLog();

    // The text the box shows now, with the name the name box shows (null for a line without a speaker); once the
    // log is full the oldest line makes room.
    void Add(const Textbox* namebox, const Textbox& textbox, std::u16string_view voice);
    // In the game's code page.
    void Add(std::string_view name, std::string_view text, std::u16string_view voice, Style* nameStyle,
             Style* textStyle);
    void Add(std::u16string_view name, std::u16string_view text, std::u16string_view voice, Style* nameStyle,
             Style* textStyle);
    void Clear();

    [[nodiscard]] std::size_t Size() const { return m_entries.size(); }
    // 0 is the oldest line; index below Size().
    [[nodiscard]] const HistoryEntry& At(std::size_t index) const;

    // The count, then for each line its name, text, voice and the names of its two styles.
    void Save(Serializer& writer) const;
    // A saved log read without touching this one; false with the reason when it is damaged. A style the game no
    // longer has leaves its lines in the history screen's own style.
    [[nodiscard]] static bool Read(Serializer& reader, std::vector<HistoryEntry>& entries, std::string& error);
    // The entries, oldest first, replace the log.
    void Restore(std::vector<HistoryEntry> entries);

private:
    std::vector<HistoryEntry> m_entries; // a ring once it holds kCapacity lines: m_oldest is where it starts
    std::size_t m_oldest = 0;
};

} // namespace Vel
