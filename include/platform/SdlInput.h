#pragma once

// Carries the window's keyboard and mouse events into the 2D library's InputState, translating SDL's keys and
// buttons into the HGEK_ codes (the Windows virtual-key numbers the engine's key names follow). The frame loop
// calls Pump at the start of every frame.

#include "platform/GamePads.h"
#include "platform/InputState.h"

#include <cstdint>

namespace Vel {

// What a frame's window events asked of the frame loop besides input.
struct WindowRequests
{
    bool close = false;
    // The player resized or maximised the window to this size; 0 when not.
    int resizedWidth = 0;
    int resizedHeight = 0;
};

class SdlInput
{
public:
    // Takes every pending event. Mouse positions are scaled from window pixels to the screen picture's pixels
    // (they differ only while the window is not yet of the screen size).
    // Game controllers plugged in or pulled out are opened and closed in pads.
    static WindowRequests Pump(InputState& input, GamePads& pads, std::uint32_t windowId, int screenWidth,
                               int screenHeight);

    // Where the mouse is now and whether it is over the window, for the first frame.
    static void ReadMouse(InputState& input, std::uint32_t windowId, int screenWidth, int screenHeight);

    // Sleeps until an event arrives or the seconds have passed (FrameActivity::kNever: until an event); the event
    // stays queued for Pump. With a pad open SDL's own wait turns into polling every millisecond, so the wait is
    // done here in steps of a frame's length instead.
    static void WaitForEvent(double seconds, const GamePads& pads);

    // The HGEK_ code of an SDL key code, 0 for a key the engine has no name for.
    [[nodiscard]] static int KeyFromSdl(std::int32_t keycode);
};

} // namespace Vel
