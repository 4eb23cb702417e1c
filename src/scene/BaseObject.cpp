#include "scene/BaseObject.h"

namespace Vel {

void BaseObject::Show()
{
    m_visible = true;
    OnShow();
}

void BaseObject::Hide()
{
    m_visible = false;
    OnHide();
}

void BaseObject::SetOpacity(float opacity)
{
    m_opacity = opacity;
    OnOpacityChanged();
}

void BaseObject::SetZoom(float zoom)
{
    m_zoom = zoom;
    OnZoomChanged();
}

void BaseObject::MoveTo(float x, float y)
{
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
