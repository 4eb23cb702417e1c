#include "scene/ClickGate.h"

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
    }
}

void ClickGate::Reset()
{
    m_ready = true;
    m_used = false;
    m_timer = 0.0f;
}

} // namespace Vel
