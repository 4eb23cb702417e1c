#include "scene/OpacityAnimator.h"

#include "scene/BaseObject.h"

namespace Vel {

OpacityAnimator::OpacityAnimator(BaseObject& target, float from, float to, float duration)
    : Animator(target), m_from(from), m_to(to), m_duration(duration)
{
}

void OpacityAnimator::Update(float dt)
{
    float value = m_to;
    if (m_duration != 0.0f) {
        m_elapsed += dt;
        if (m_elapsed >= m_duration)
            m_elapsed = m_duration;
        value = (m_to - m_from) / m_duration * m_elapsed + m_from;
    }
    m_target->SetOpacity(value);
    if (m_duration == m_elapsed)
        Finish();
}

} // namespace Vel
