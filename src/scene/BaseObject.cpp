#include "scene/BaseObject.h"

#include "platform/FrameActivity.h"

namespace Vel {

void BaseObject::Show()
{
    if (!m_visible)
        FrameActivity::Changed();
    m_visible = true;
    OnShow();
}

void BaseObject::Hide()
{
    if (m_visible)
        FrameActivity::Changed();
    m_visible = false;
    OnHide();
}

void BaseObject::SetOpacity(float opacity)
{
    if (m_opacity != opacity)
        FrameActivity::Changed();
    m_opacity = opacity;
    OnOpacityChanged();
}

void BaseObject::SetZoom(float zoom)
{
    if (m_zoom != zoom)
        FrameActivity::Changed();
    m_zoom = zoom;
    OnZoomChanged();
}

void BaseObject::MoveTo(float x, float y)
{
    if (m_x != x || m_y != y)
        FrameActivity::Changed();
    m_x = x;
    m_y = y;
    OnPositionChanged();
}

void BaseObject::SetHitSize(float width, float height)
{
    m_width = width;
    m_height = height;
}

} // namespace Vel
