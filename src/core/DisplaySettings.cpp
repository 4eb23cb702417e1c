#include "core/DisplaySettings.h"

#include <algorithm>
#include <cmath>

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

// The picture keeps its shape: bars go on the sides the screen has to spare. Both edges are rounded to whole pixels,
// so picture and bars meet edge to edge and the mouse maps through the very rectangle that is drawn.
PictureRect PictureOnScreen(const DisplaySettings& display)
{
    const int screenWidth = display.screenWidth;
    const int screenHeight = display.screenHeight;
    if (display.gameWidth <= 0 || display.gameHeight <= 0 ||
        (screenWidth == display.gameWidth && screenHeight == display.gameHeight))
        return {0, 0, screenWidth, screenHeight};
    const double scale = std::min(static_cast<double>(screenWidth) / display.gameWidth,
                                  static_cast<double>(screenHeight) / display.gameHeight);
    const double width = display.gameWidth * scale;
    const double height = display.gameHeight * scale;
    PictureRect picture;
    picture.left = static_cast<int>(std::lround((screenWidth - width) * 0.5));
    picture.top = static_cast<int>(std::lround((screenHeight - height) * 0.5));
    picture.width = static_cast<int>(std::lround((screenWidth - width) * 0.5 + width)) - picture.left;
    picture.height = static_cast<int>(std::lround((screenHeight - height) * 0.5 + height)) - picture.top;
    return picture;
}

void ScreenToGame(const DisplaySettings& display, float& x, float& y)
{
    if (display.screenWidth == display.gameWidth && display.screenHeight == display.gameHeight)
        return;
    const PictureRect picture = PictureOnScreen(display);
    if (picture.width <= 0 || picture.height <= 0)
        return;
    // A pixel's width of slack at each edge: a mouse on the picture's first or last column is on it.
    const auto inside = [](float value, int start, int size) {
        return value >= static_cast<float>(start) - 1.0f && value <= static_cast<float>(start + size);
    };
    if (!inside(x, picture.left, picture.width) || !inside(y, picture.top, picture.height)) {
        x = kUnset * static_cast<float>(display.gameWidth);
        y = kUnset * static_cast<float>(display.gameHeight);
        return;
    }
    x = (x - static_cast<float>(picture.left)) / static_cast<float>(picture.width) * static_cast<float>(display.gameWidth);
    y = (y - static_cast<float>(picture.top)) / static_cast<float>(picture.height) *
        static_cast<float>(display.gameHeight);
}

void ChooseDisplayMode(DisplaySettings& display, int desktopWidth, int desktopHeight)
{
    if (display.fullscreen != 0) {
        display.screenWidth = desktopWidth;
        display.screenHeight = desktopHeight;
    } else if (display.windowWidth > 0 && display.windowHeight > 0) {
        display.screenWidth = display.windowWidth;
        display.screenHeight = display.windowHeight;
    } else {
        display.screenWidth = display.gameWidth;
        display.screenHeight = display.gameHeight;
    }
}

} // namespace Vel
