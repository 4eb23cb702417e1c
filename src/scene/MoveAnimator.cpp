#include "scene/MoveAnimator.h"

#include "scene/BaseObject.h"

namespace Vel {

MoveAnimator::MoveAnimator(BaseObject& target, float fromX, float fromY, float toX, float toY, float duration)
    : Animator(target), m_fromX(fromX), m_fromY(fromY), m_toX(toX), m_toY(toY), m_duration(duration)
{
}

void MoveAnimator::Update(float dt)
{
    float x = m_toX;
    float y = m_toY;
    if (m_duration != 0.0f) {
        m_elapsed += dt;
        if (m_elapsed >= m_duration)
            m_elapsed = m_duration;
        // Evaluated in this order and in single precision, so the last step lands exactly on the end point.
        const float k = 1.0f / m_duration;
        y = (m_toY - m_fromY) * k * m_elapsed + m_fromY;
        x = (m_toX - m_fromX) * k * m_elapsed + m_fromX;
    }
    m_target->MoveTo(x, y);
    if (m_duration == m_elapsed)
        Finish();
}

} // namespace Vel
