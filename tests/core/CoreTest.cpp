#include "core/DisplaySettings.h"

#include <gtest/gtest.h>

#include <tuple>

namespace Vel {
namespace {

// Clicks on a full screen, pillar-boxed or not, are the menu run's; these are the mode choice and the bars.
TEST(DisplayTest, ModeChoiceFollowsTheDesktopShapeAndTheBarsAreFarOutsideTheGame)
{
    const auto display = [](int fullscreen, int desktopWidth, int desktopHeight) {
        DisplaySettings chosen{800, 600, fullscreen};
        ChooseDisplayMode(chosen, desktopWidth, desktopHeight);
        return std::tuple(chosen.screenWidth, chosen.screenHeight, chosen.widescreen);
    };
    // Full screen takes the desktop size and is pillar-boxed when height/width is below 0.75.
    EXPECT_EQ(display(1, 1280, 1024), std::tuple(1280, 1024, false));
    EXPECT_EQ(display(1, 1024, 768), std::tuple(1024, 768, false));
    EXPECT_EQ(display(1, 1280, 800), std::tuple(1280, 800, true));
    EXPECT_EQ(display(0, 1920, 1080), std::tuple(800, 600, false));

    DisplaySettings wide{800, 600, 1, 1920, 1080, true};
    float x = 100.0f, y = 540.0f;
    ScreenToGame(wide, x, y);
    EXPECT_TRUE(x > 800.0f * 100 && y > 600.0f * 100);
    x = 240.02f;
    ScreenToGame(wide, x, y);
    EXPECT_NEAR(x, 0.0f, 0.01f) << "the picture starts at 240.02";
}

} // namespace
} // namespace Vel
