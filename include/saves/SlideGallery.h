#pragma once

#include "saves/Gallery.h"

#include <cstddef>

namespace Vel {

// A carousel: the current picture in the middle of the screen with the previous and the next one peeking in at
// the edges. Next and previous (buttons or the arrow keys) slide the row along, and it settles with the new picture
// in the middle; a click on the current picture shows it on the whole screen (or, on a save/load screen, picks its
// save).
class SlideGallery : public Gallery
{
public:
    static constexpr float kSlideSpeed = 700.0f; // pixels a second, sliding and settling

    enum class Motion
    {
        None,
        SlidingForward,
        SlidingBack,
        Settling,
    };

    // Where one of the three shown pictures is: its item and its left edge; all share the picture row.
    struct Place
    {
        std::size_t item = 0;
        float x = 0.0f;
    };

    void Show() override;
    void Hide() override;
    void Update(float dt) override;
    void Render() override;
    void Build() override;
    void TestMouse(float x, float y, bool clicked) override;
    // Start a slide unless the row is moving already or there is nothing to slide.
    void MoveForward() override;
    void MoveBack() override;

    // The top of every picture of the row.
    void SetPictureRow(float y) { m_rowY = y; }

    [[nodiscard]] const Place& GetPrevious() const { return m_previous; }
    [[nodiscard]] const Place& GetCurrent() const { return m_current; }
    [[nodiscard]] const Place& GetNext() const { return m_next; }
    [[nodiscard]] Motion GetMotion() const { return m_motion; }
    [[nodiscard]] bool IsFullView() const { return m_fullView; }
    // The current picture's left edge once the row has settled.
    [[nodiscard]] float CentreX() const;

protected:
    void OnItemsChanged() override;

private:
    void Layout();
    void Advance(float dt);
    void SlideForward(float distance);
    void SlideBack(float distance);
    void Settle(float distance);
    void Shift(float distance);
    void UpdateFullView();
    void RenderFullView() const;
    [[nodiscard]] bool IsOverCurrent(float x, float y) const;

    float m_rowY = 0.0f;
    Place m_previous;
    Place m_current;
    Place m_next;
    Motion m_motion = Motion::None;
    bool m_fullView = false;
};

} // namespace Vel
