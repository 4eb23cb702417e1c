#include "scene/SleepAnimator.h"

#include "platform/FrameActivity.h"

namespace Vel {

SleepAnimator::SleepAnimator(BaseObject& target, float duration, Skip skip)
    : Animator(target), m_duration(duration), m_skip(skip)
{
}

void SleepAnimator::OnClick(bool clicked)
{
    if (clicked && m_skip == Skip::OnClick)
        m_elapsed = m_duration;
}

void SleepAnimator::Update(float dt)
{
    if (m_duration > 0.0f) {
        m_elapsed += dt;
        if (m_elapsed > m_duration)
            m_elapsed = m_duration;
    }
    if (m_duration == m_elapsed)
        Finish();
}

double SleepAnimator::NextFrameWithin() const
{
    return m_duration < 0.0f ? FrameActivity::kNever : static_cast<double>(m_duration - m_elapsed);
}

} // namespace Vel
