#include "scene/ClickGate.h"

#include "platform/FrameActivity.h"

namespace Vel {

ClickGate& ClickGate::Left()
{
    static ClickGate s_left;
    return s_left;
}

ClickGate& ClickGate::Right()
{
    static ClickGate s_right;
    return s_right;
}

bool ClickGate::Accept(bool buttonDown)
{
    if (!buttonDown || !m_ready)
        return false;
    m_used = true;
    return true;
}

void ClickGate::Advance(float dt, float delay)
{
    if (m_ready && !m_used)
        return;
    if (m_ready) {
        m_ready = false;
        m_used = false;
    }
    m_timer += dt;
    if (m_timer >= delay) {
        m_timer -= delay;
        m_ready = true;
        return;
    }
    // A click that comes after the delay must find the gate open, however long the engine slept before it.
    FrameActivity::WakeWithin(static_cast<double>(delay - m_timer));
}

void ClickGate::Reset()
{
    m_ready = true;
    m_used = false;
    m_timer = 0.0f;
}

} // namespace Vel
