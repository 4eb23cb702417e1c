#pragma once

// Carries the window's keyboard and mouse events into the 2D library's InputState, translating SDL's keys and
// buttons into the HGEK_ codes (the Windows virtual-key numbers the engine's key names follow). The frame loop
// calls Pump at the start of every frame.

#include "platform/InputState.h"

#include <cstdint>

namespace Vel {

class SdlInput
{
public:
    // Takes every pending event. Mouse positions are scaled from window pixels to the screen picture's pixels
    // (they differ only when the window is not of the screen size). True when the window was asked to close.
    static bool Pump(InputState& input, std::uint32_t windowId, int screenWidth, int screenHeight);

    // Where the mouse is now and whether it is over the window, for the first frame.
    static void ReadMouse(InputState& input, std::uint32_t windowId, int screenWidth, int screenHeight);

    // Sleeps until an event arrives or the seconds have passed (FrameActivity::kNever: until an event); the event
    // stays queued for Pump.
    static void WaitForEvent(double seconds);

    // The HGEK_ code of an SDL key code, 0 for a key the engine has no name for.
    [[nodiscard]] static int KeyFromSdl(std::int32_t keycode);
};

} // namespace Vel
