#include "resources/ScreenPresenter.h"

#include "resources/hgeSprite.h"

#include <cmath>

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
    const float height = static_cast<float>(display.screenHeight);
    float width = screenWidth;
    float left = 0.0f;
    if (display.widescreen) {
        // The pillar-boxed picture's edges fall between pixels (240.02 to 1679.98 on a 1920-wide screen); a
        // rasteriser that cuts start and width separately would leave the last screen column unpainted. Whole
        // pixels keep picture and bars edge to edge; the mouse mapping's sub-pixel difference hits nothing.
        const float exactWidth = height * kPillarBoxAspect;
        left = std::round((screenWidth - exactWidth) * 0.5f);
        width = std::round((screenWidth - exactWidth) * 0.5f + exactWidth) - left;
    }

    // The screen itself is not cleared: the picture and the bars cover all of it.
    if (!hge->Gfx_BeginScene(0))
        return;
    m_screen->RenderStretch(left, 0.0f, left + width, height);
    if (display.widescreen) {
        m_bar->RenderStretch(0.0f, 0.0f, left, height);
        m_bar->RenderStretch(left + width, 0.0f, screenWidth, height);
    }
    hge->Gfx_EndScene();
}

} // namespace Vel
