#pragma once

// The click gates every mouse-driven part shares, so one physical click acts once. A part accepts a click only while
// the gate is ready, and the accepted click closes the gate; the ScenesManager advances both gates once per frame,
// and a gate reopens one click delay after it closed, keeping the remainder, so a button held down repeats its
// click every delay. Commands that end on a click (text, choice, pause) also close the left gate when they end.
// Process-wide records: one gate for the left button, one for the right button and Escape.

namespace Vel {

class ClickGate
{
public:
    static constexpr float kClickDelay = 0.3f; // seconds between two accepted clicks

    static ClickGate& Left();
    static ClickGate& Right();

    // True, marking the click used, when the button is down and the gate is ready.
    [[nodiscard]] bool Accept(bool buttonDown);
    // The accepting side of the right-click step, which also forgets a click when the button is up.
    void SetUsed(bool used) { m_used = used; }
    // Closes the gate without a click: the click that ended a command must not act again. The click that was used
    // is accounted for by this closing, so the gate reopens one delay later and not a second time after that.
    void Close()
    {
        m_ready = false;
        m_used = false;
    }

    // Once per frame; dt in seconds.
    void Advance(float dt, float delay = kClickDelay);
    // Ready, unused, timer at 0: the state at start-up.
    void Reset();

    [[nodiscard]] bool IsReady() const { return m_ready; }
    [[nodiscard]] bool IsUsed() const { return m_used; }

private:
    bool m_ready = true;
    bool m_used = false;
    float m_timer = 0.0f;
};

} // namespace Vel
