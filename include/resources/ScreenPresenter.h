#pragma once

// Puts the game picture on the screen: the render target, drawn at the game's own resolution, is stretched over the
// window or the full screen, pillar-boxed with black bars on displays wider than 4:3. The engine creates one after
// the render target and calls Draw once per frame, after the scene has been drawn into the target.

#include "core/DisplaySettings.h"
#include "platform/Hge.h"

#include <memory>

namespace Vel {

class hgeSprite;

class ScreenPresenter
{
public:
    // The screen sprite starts without texture or rectangle; the bar sprite is opaque black.
    ScreenPresenter();
    // Destroys the screen sprite, then the bar sprite.
    ~ScreenPresenter();
    ScreenPresenter(const ScreenPresenter&) = delete;
    ScreenPresenter& operator=(const ScreenPresenter&) = delete;

    // Draws the target's picture onto the screen (not cleared first) and the bars where the picture, keeping its
    // shape, does not reach.
    void Draw(HGE* hge, HTARGET target, const DisplaySettings& display);

private:
    std::unique_ptr<hgeSprite> m_screen;
    std::unique_ptr<hgeSprite> m_bar;
};

} // namespace Vel
