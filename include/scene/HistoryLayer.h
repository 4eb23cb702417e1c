#pragma once

// The history screen, as the scenes manager runs it: while it is open it alone is updated (the story stands still
// behind it, as behind a menu) and it is drawn over everything else. The scenes manager opens it on Page Up, a notch
// of the wheel away from the player or the interface function "history", and closes it when the screen says so.
// The history screen is the one layer; start-up hands it over.

#include <cstdint>

namespace Vel {

// What the player did on the open screen.
enum class HistoryStep : std::uint8_t
{
    StaysOpen,
    Closes, // Escape, the right button, or the wheel turned towards the player at the newest line
};

class HistoryLayer
{
public:
    virtual ~HistoryLayer() = default;

    // Shows the newest lines, the newest at the bottom.
    virtual void Open() = 0;
    // One frame of the open screen: the player's scrolling, a voice played again, closing.
    [[nodiscard]] virtual HistoryStep Update(float dt) = 0;
    virtual void Render() = 0;
};

} // namespace Vel
