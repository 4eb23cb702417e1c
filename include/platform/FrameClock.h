#pragma once

// Frame timing of the 2D library's loop: the length of the previous frame, either measured or fixed for
// reproducible runs, and the wait that keeps a frame-rate cap.

#include <chrono>

namespace Vel {

class FrameClock
{
public:
    // fixedDelta > 0 makes every frame last exactly that many seconds.
    explicit FrameClock(double fixedDelta = 0.0) : m_fixedDelta(fixedDelta) {}

    // Starts timing afresh; the first frame after it gets a nominal length.
    void Reset();
    // Marks the start of a frame; Delta() then tells how long the previous one lasted.
    void Tick();
    [[nodiscard]] float Delta() const { return m_delta; }

    // Sleeps until at least minSeconds have passed since the last Tick.
    void WaitUntil(double minSeconds) const;

private:
    using Clock = std::chrono::steady_clock;
    static constexpr float kFirstFrame = 1.0f / 60.0f;

    double m_fixedDelta;
    float m_delta = kFirstFrame;
    bool m_started = false;
    Clock::time_point m_lastTick{};
};

} // namespace Vel
