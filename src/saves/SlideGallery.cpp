#include "saves/SlideGallery.h"

#include "core/DisplaySettings.h"
#include "platform/FrameActivity.h"
#include "platform/Hge.h"
#include "resources/Sprite.h"

#include <initializer_list>

namespace Vel {

float SlideGallery::CentreX() const
{
    return (static_cast<float>(TheDisplaySettings().gameWidth) - m_previewWidth) * 0.5f;
}

void SlideGallery::Layout()
{
    const std::size_t count = GetItemCount();
    m_motion = Motion::None;
    m_previous.item = count > 0 ? count - 1 : 0;
    m_current.item = 0;
    m_next.item = count > 1 ? 1 : 0;
    m_previous.x = -0.8f * m_previewWidth;
    m_current.x = CentreX();
    m_next.x = static_cast<float>(TheDisplaySettings().gameWidth) - 0.2f * m_previewWidth;
}

void SlideGallery::Build()
{
    Layout();
    PairButtons();
    m_built = true;
}

void SlideGallery::OnItemsChanged()
{
    // Whatever was current may be gone: the row starts again at the first item.
    Layout();
    m_fullView = false;
}

void SlideGallery::Show()
{
    Gallery::Show();
    m_fullView = false;
    // An empty carousel has nothing to count.
    if (GetItemCount() == 0)
        ShowCounter(false);
    else
        SetCounterText(static_cast<std::int32_t>(m_current.item) + 1);
}

void SlideGallery::Hide()
{
    Gallery::Hide();
    m_fullView = false;
}

void SlideGallery::MoveForward()
{
    if (m_motion != Motion::None || m_fullView || GetItemCount() == 0)
        return;
    m_motion = Motion::SlidingForward;
    SetCounterText(static_cast<std::int32_t>(m_next.item) + 1);
}

void SlideGallery::MoveBack()
{
    if (m_motion != Motion::None || m_fullView || GetItemCount() == 0)
        return;
    m_motion = Motion::SlidingBack;
    SetCounterText(static_cast<std::int32_t>(m_previous.item) + 1);
}

void SlideGallery::Update(float dt)
{
    if (UpdateChoiceMenu(dt))
        return;
    if (m_fullView) {
        UpdateFullView();
        return;
    }
    if (m_motion != Motion::None) {
        Advance(dt);
        FrameActivity::Changed();
        FrameActivity::WakeWithin(0.0);
        return;
    }
    if (KeyPressed(HGEK_RIGHT))
        MoveForward();
    else if (KeyPressed(HGEK_LEFT))
        MoveBack();
    UpdateMouse();
}

void SlideGallery::UpdateFullView()
{
    if (m_saveLoad || !LeaveKeyPressed())
        return;
    m_fullView = false;
    ShowCounter(true);
}

void SlideGallery::Advance(float dt)
{
    const float distance = kSlideSpeed * dt;
    switch (m_motion) {
    case Motion::SlidingForward:
        SlideForward(distance);
        break;
    case Motion::SlidingBack:
        SlideBack(distance);
        break;
    case Motion::Settling:
        Settle(distance);
        break;
    case Motion::None:
        break;
    }
}

void SlideGallery::Shift(float distance)
{
    m_previous.x += distance;
    m_current.x += distance;
    m_next.x += distance;
}

void SlideGallery::SlideForward(float distance)
{
    Shift(-distance);
    // The previous picture has left the screen: the next one takes the middle and a new one follows it.
    if (m_previous.x + m_previewWidth > 0.0f)
        return;
    const std::size_t count = GetItemCount();
    m_previous = m_current;
    m_current = m_next;
    m_next.item = (m_current.item + 1) % count;
    m_next.x = 2.0f * m_current.x - m_previous.x;
    m_motion = Motion::Settling;
}

void SlideGallery::SlideBack(float distance)
{
    Shift(distance);
    if (m_next.x < static_cast<float>(TheDisplaySettings().gameWidth) + m_previewWidth)
        return;
    const std::size_t count = GetItemCount();
    m_next = m_current;
    m_current = m_previous;
    m_previous.item = (m_current.item + count - 1) % count;
    m_previous.x = 2.0f * m_current.x - m_next.x;
    m_motion = Motion::Settling;
}

void SlideGallery::Settle(float distance)
{
    const float centre = CentreX();
    const float gap = centre - m_current.x;
    if (gap > distance || gap < -distance) {
        Shift(gap > 0.0f ? distance : -distance);
        return;
    }
    Shift(gap);
    m_current.x = centre;
    m_motion = Motion::None;
}

bool SlideGallery::IsOverCurrent(float x, float y) const
{
    return x >= m_current.x && x < m_current.x + m_previewWidth && y >= m_rowY && y < m_rowY + m_previewHeight;
}

void SlideGallery::TestMouse(float x, float y, bool clicked)
{
    bool used = false;
    if (clicked && GetItemCount() > 0 && IsUnlocked(m_current.item) && IsOverCurrent(x, y)) {
        used = true;
        if (!SelectSave(m_current.item)) {
            m_fullView = true;
            ShowCounter(false);
        }
    }
    // The click that picked the picture is spent.
    TestElements(x, y, clicked && !used, PageButtons::Tested);
}

void SlideGallery::Render()
{
    if (m_fullView) {
        RenderFullView();
        return;
    }
    RenderElement(Background);
    const bool empty = GetItemCount() == 0;
    if (!empty) {
        for (const Place* place : {&m_previous, &m_next, &m_current})
            RenderElementAt(Frame, place->x + m_frameX, m_rowY + m_frameY);
        if (IsUnlocked(m_current.item))
            RenderElementAt(HoverFrame, m_current.x + m_frameX, m_rowY + m_frameY);
    }
    for (std::int32_t slot = Next; slot < SlotCount; ++slot)
        RenderElement(slot);
    RenderCounter();
    if (empty && m_emptyPicture != nullptr)
        m_emptyPicture->Render(m_emptyX, m_emptyY, 1.0f, 1.0f);
    if (!empty) {
        for (const Place* place : {&m_previous, &m_current, &m_next})
            RenderItem(place->item, place->x, m_rowY, place->x + m_previewWidth, m_rowY + m_previewHeight);
    }
    RenderChoiceMenu();
}

void SlideGallery::RenderFullView() const
{
    const DisplaySettings& display = TheDisplaySettings();
    RenderItem(m_current.item, 0.0f, 0.0f, static_cast<float>(display.gameWidth),
               static_cast<float>(display.gameHeight));
}

} // namespace Vel
