#include "resources/ScreenPresenter.h"

#include "resources/hgeSprite.h"


namespace Vel {

ScreenPresenter::ScreenPresenter()
    : m_screen(std::make_unique<hgeSprite>(0, 0.0f, 0.0f, 0.0f, 0.0f)),
      m_bar(std::make_unique<hgeSprite>(0, 0.0f, 0.0f, 0.0f, 0.0f))
{
    m_bar->SetColor(0xFF000000);
}

ScreenPresenter::~ScreenPresenter()
{
    m_screen.reset();
    m_bar.reset();
}

void ScreenPresenter::Draw(HGE* hge, HTARGET target, const DisplaySettings& display)
{
    const float gameWidth = static_cast<float>(display.gameWidth);
    const float gameHeight = static_cast<float>(display.gameHeight);
    m_screen->SetTexture(hge->Target_GetTexture(target));
    m_screen->SetTextureRect(0.0f, 0.0f, gameWidth, gameHeight, true);

    const float screenWidth = static_cast<float>(display.screenWidth);
    const float screenHeight = static_cast<float>(display.screenHeight);
    const PictureRect picture = PictureOnScreen(display);
    const float left = static_cast<float>(picture.left);
    const float top = static_cast<float>(picture.top);
    const float right = left + static_cast<float>(picture.width);
    const float bottom = top + static_cast<float>(picture.height);

    // The screen itself is not cleared: the picture and the bars cover all of it.
    if (!hge->Gfx_BeginScene(0))
        return;
    m_screen->RenderStretch(left, top, right, bottom);
    if (left > 0.0f || right < screenWidth) {
        m_bar->RenderStretch(0.0f, 0.0f, left, screenHeight);
        m_bar->RenderStretch(right, 0.0f, screenWidth, screenHeight);
    }
    if (top > 0.0f || bottom < screenHeight) {
        m_bar->RenderStretch(left, 0.0f, right, top);
        m_bar->RenderStretch(left, bottom, right, screenHeight);
    }
    hge->Gfx_EndScene();
}

} // namespace Vel
