#include "HeadlessHge.h"
#include "ScreenPicture.h"

#include "resources/ScreenPresenter.h"
#include "resources/hgeSprite.h"

#include <gtest/gtest.h>

namespace Vel {
namespace {

using TestTools::Box;

// The screen after presenting a game picture in four colours over a grey screen, which must not show through;
// nearest-texel sampling keeps the quadrants exact rectangles.
TestTools::ScreenPicture Present(const DisplaySettings& display)
{
    TestTools::HeadlessHge hge({}, display.screenWidth, display.screenHeight);
    hge->System_SetState(HGE_TEXTUREFILTER, false);
    EXPECT_TRUE(hge->System_Initiate());
    const HTARGET target = hge->Target_Create(display.gameWidth, display.gameHeight, false);
    const HTEXTURE picture = TestTools::QuadrantTexture(hge.Get(), 32);
    EXPECT_TRUE(hge->Gfx_BeginScene(target));
    hgeSprite(picture, 0, 0, 32, 32)
        .RenderStretch(0, 0, static_cast<float>(display.gameWidth), static_cast<float>(display.gameHeight));
    hge->Gfx_EndScene();
    EXPECT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0xFF808080);
    hge->Gfx_EndScene();
    ScreenPresenter presenter;
    presenter.Draw(hge.Get(), target, display);
    presenter.Draw(hge.Get(), target, display); // the second frame takes the same texture without harm
    return TestTools::ScreenPicture(hge.Get());
}

TEST(ScreenPresenterTest, GamePictureFillsTheWindowOrIsPillarBoxedOnWideScreens)
{
    // Stretched over a 4:3 window without bars.
    const TestTools::ScreenPicture window = Present({64, 48, 0, 160, 120, false});
    EXPECT_EQ(window.BoxOf(0xFF0000), (Box{0, 0, 79, 59, 4800}));
    EXPECT_EQ(window.BoxOf(0xFFFFFF), (Box{80, 60, 159, 119, 4800}));
    // The picture is 1080 x 1.3333 = 1439.96 wide from x = 240.02, drawn on whole pixels 240 to 1679 between
    // black bars that reach the screen's last column.
    const TestTools::ScreenPicture wide = Present({64, 48, 1, 1920, 1080, true});
    EXPECT_EQ(wide.BoxOf(0xFF0000), (Box{240, 0, 959, 539, 720 * 540}));
    EXPECT_EQ(wide.BoxOf(0xFFFFFF), (Box{960, 540, 1679, 1079, 720 * 540}));
    for (const int y : {0, 539, 540, 1079}) {
        for (const int x : {0, 239, 1680, 1919})
            EXPECT_EQ(wide.At(x, y), 0u) << x << ", " << y;
    }
}

} // namespace
} // namespace Vel
