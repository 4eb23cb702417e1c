#pragma once

// One script variable: a named wide-string value that commands set and conditions, galleries and menus read.

#include <cstdint>
#include <string>
#include <string_view>

namespace Vel {

// The numbers are the ones stored in "sys0.dfn".
enum class TriggerKind : std::int32_t
{
    Game = 0,    // travels with each saved game; emptied when a game is loaded
    System = 1,  // persistent across games and runs
    Gallery = 2, // persistent; unlocks gallery pictures
};

// Names starting with '_' are the engine's: it keeps them current from its own state (the player's preferences),
// so saved games neither carry nor clear them.
[[nodiscard]] inline bool IsEngineTriggerName(std::u16string_view name)
{
    return !name.empty() && name[0] == u'_';
}

struct Trigger
{
    std::u16string name;
    std::u16string value; // empty until set
    TriggerKind kind = TriggerKind::Game;

    [[nodiscard]] bool IsPersistent() const { return kind != TriggerKind::Game; }
    [[nodiscard]] bool TravelsWithSaves() const { return !IsPersistent() && !IsEngineTriggerName(name); }
};

} // namespace Vel
