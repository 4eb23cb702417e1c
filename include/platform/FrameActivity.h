#pragma once

// What the frame being run changed on the screen, and when the engine needs its next frame. A visual novel spends
// most of its time waiting for the player to read, and a frame that changes nothing visible is neither drawn nor
// presented. Every part of the engine that changes something visible says so here (Changed); everything that runs
// by time says how soon it needs another frame (WakeWithin). Nothing is guessed from pixels. The frame loop takes
// both once per frame and starts the next frame afresh.

#include <limits>

namespace Vel {

class FrameActivity
{
public:
    static constexpr double kNever = std::numeric_limits<double>::infinity();

    // Something visible changed in this frame: it is drawn.
    static void Changed();
    // Something time-driven needs a frame within this many seconds (0: the next frame, at the frame rate).
    static void WakeWithin(double seconds);

    struct Report
    {
        bool changed = false;
        double wake = kNever;
    };
    // For the frame loop: what this frame reported; the next frame starts with nothing reported.
    [[nodiscard]] static Report Take();
};

} // namespace Vel
