#include "scene/ZoomAnimator.h"

#include "scene/BaseObject.h"

namespace Vel {

ZoomAnimator::ZoomAnimator(BaseObject& target, float from, float to, float duration, Anchor anchor)
    : Animator(target), m_from(from), m_to(to), m_duration(duration), m_anchor(anchor)
{
}

void ZoomAnimator::Update(float dt)
{
    if (m_baseZoom < 0.0f)
        CaptureBase();
    if (m_duration == 0.0f) {
        m_target->SetZoom(m_to);
    } else {
        m_elapsed += dt;
        if (m_elapsed >= m_duration)
            m_elapsed = m_duration;
        const float zoom = ((m_to - m_from) / m_duration * m_elapsed + m_from) * m_baseZoom;
        m_target->SetZoom(zoom);
        if (m_anchor == Anchor::Centre) {
            const float width = m_target->GetWidth();
            const float height = m_target->GetHeight();
            const float x = (width * m_baseZoom - width * zoom) * 0.5f + m_baseX;
            const float y = (height * m_baseZoom - height * zoom) * 0.5f + m_baseY;
            m_target->MoveTo(x, y);
        }
    }
    if (m_duration == m_elapsed)
        Finish();
}

void ZoomAnimator::CaptureBase()
{
    m_baseZoom = m_target->GetZoom();
    m_baseX = m_target->GetX();
    m_baseY = m_target->GetY();
}

} // namespace Vel
