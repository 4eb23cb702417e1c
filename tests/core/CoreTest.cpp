#include "core/DisplaySettings.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace Vel {
namespace {

// The picture keeps its shape on any screen, with whole-pixel bars, and the mouse maps back through the very
// rectangle drawn: a full screen of any shape and a window the player resized alike.
TEST(DisplayTest, PictureFitsEveryScreenShapeAndTheMouseMapsThroughIt)
{
    struct Case
    {
        int screenWidth, screenHeight;
        PictureRect picture;
    };
    const Case cases[] = {
        {800, 600, {0, 0, 800, 600}},       // the game's own size
        {1920, 1080, {240, 0, 1440, 1080}}, // wide: bars left and right
        {1280, 1024, {0, 32, 1280, 960}},   // taller than the game: bars above and below
        {1000, 600, {100, 0, 800, 600}},
        {803, 601, {1, 0, 801, 601}},       // edges rounded to whole pixels
        {160, 120, {0, 0, 160, 120}},
    };
    for (const Case& c : cases) {
        DisplaySettings display{800, 600, 0, c.screenWidth, c.screenHeight};
        const PictureRect got = PictureOnScreen(display);
        EXPECT_EQ(std::tie(got.left, got.top, got.width, got.height),
                  std::tie(c.picture.left, c.picture.top, c.picture.width, c.picture.height))
            << c.screenWidth << "x" << c.screenHeight;
        // The picture's corners are the game's corners; a bar is far outside the game.
        float x = static_cast<float>(got.left);
        float y = static_cast<float>(got.top + got.height);
        ScreenToGame(display, x, y);
        EXPECT_NEAR(x, 0.0f, 0.01f);
        EXPECT_NEAR(y, 600.0f, 0.01f);
        if (got.left >= 2 || got.top >= 2) {
            x = static_cast<float>(got.left / 2);
            y = static_cast<float>(got.top / 2);
            ScreenToGame(display, x, y);
            EXPECT_TRUE(x > 800.0f * 100 && y > 600.0f * 100) << c.screenWidth << "x" << c.screenHeight;
        }
    }
}

TEST(DisplayTest, FullScreenTakesTheDesktopAndAWindowItsRememberedSize)
{
    const auto chosen = [](int fullscreen, int windowWidth, int windowHeight) {
        DisplaySettings display{800, 600, fullscreen, 0, 0, windowWidth, windowHeight};
        ChooseDisplayMode(display, 1920, 1080);
        return std::pair(display.screenWidth, display.screenHeight);
    };
    EXPECT_EQ(chosen(1, 0, 0), std::pair(1920, 1080));
    EXPECT_EQ(chosen(1, 1000, 700), std::pair(1920, 1080));
    EXPECT_EQ(chosen(0, 0, 0), std::pair(800, 600));
    EXPECT_EQ(chosen(0, 1000, 700), std::pair(1000, 700));
}

} // namespace
} // namespace Vel
