#include "core/DisplaySettings.h"

namespace Vel {

DisplaySettings& TheDisplaySettings()
{
    static DisplaySettings s_settings;
    return s_settings;
}

GameNames& TheGameNames()
{
    static GameNames s_names;
    return s_names;
}

void ScreenToGame(const DisplaySettings& display, float& x, float& y)
{
    if (display.screenWidth == display.gameWidth && display.screenHeight == display.gameHeight)
        return;
    float width = static_cast<float>(display.screenWidth);
    if (display.widescreen) {
        width = static_cast<float>(display.screenHeight) * kPillarBoxAspect;
        const float left = (static_cast<float>(display.screenWidth) - width) * 0.5f;
        if (x >= left - 1.0f && x <= left + width) {
            x -= left;
        } else {
            x = kUnset;
            y = kUnset;
        }
    }
    x = x / width * static_cast<float>(display.gameWidth);
    y = y / static_cast<float>(display.screenHeight) * static_cast<float>(display.gameHeight);
}

void ChooseDisplayMode(DisplaySettings& display, int desktopWidth, int desktopHeight)
{
    if (display.fullscreen != 0) {
        display.screenWidth = desktopWidth;
        display.screenHeight = desktopHeight;
        display.widescreen =
            desktopWidth > 0 && static_cast<double>(desktopHeight) / static_cast<double>(desktopWidth) < 0.75;
    } else {
        display.screenWidth = display.gameWidth;
        display.screenHeight = display.gameHeight;
        display.widescreen = false;
    }
}

} // namespace Vel
