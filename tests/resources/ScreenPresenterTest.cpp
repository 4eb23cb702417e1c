#include "HeadlessHge.h"
#include "ScreenPicture.h"

#include "resources/ScreenPresenter.h"
#include "resources/hgeSprite.h"

#include <gtest/gtest.h>

namespace Vel {
namespace {

using TestTools::HeadlessHge;
using TestTools::ScreenPicture;

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0;

// A render target of the game's size showing the four-colour picture, as a scene would have drawn it.
HTARGET DrawGamePicture(HGE* hge, int width, int height)
{
    const HTARGET target = hge->Target_Create(width, height, false);
    const HTEXTURE picture = TestTools::QuadrantTexture(hge, 32);
    EXPECT_TRUE(hge->Gfx_BeginScene(target));
    hgeSprite(picture, 0, 0, 32, 32).RenderStretch(0, 0, static_cast<float>(width), static_cast<float>(height));
    hge->Gfx_EndScene();
    return target;
}

// Whatever was on the screen before must not show through.
void FillScreen(HGE* hge, std::uint32_t colour)
{
    ASSERT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(colour);
    hge->Gfx_EndScene();
}

TEST(ScreenPresenterTest, WidescreenFullScreenIsPillarBoxedWithBlackBars)
{
    HeadlessHge hge({}, 1920, 1080);
    ASSERT_TRUE(hge->System_Initiate());
    const HTARGET target = hge->Target_Create(800, 600, false);
    ASSERT_TRUE(hge->Gfx_BeginScene(target));
    hge->Gfx_Clear(0xFFFF0000);
    hge->Gfx_EndScene();
    FillScreen(hge.Get(), 0xFF00FF00);

    const DisplaySettings display{800, 600, 1, 1920, 1080, true};
    ScreenPresenter presenter;
    presenter.Draw(hge.Get(), target, display);
    presenter.Draw(hge.Get(), target, display); // the second frame takes the same texture without harm
    ScreenPicture picture(hge.Get());
    ASSERT_EQ(picture.Width(), 1920);
    // The picture is 1080 x 1.3333 = 1439.96 wide from x = 240.02.
    for (int y : {2, 540, 1077}) {
        EXPECT_TRUE(picture.Is(2, y, kBlack));
        EXPECT_TRUE(picture.Is(238, y, kBlack));
        EXPECT_TRUE(picture.Is(242, y, kRed));
        EXPECT_TRUE(picture.Is(960, y, kRed));
        EXPECT_TRUE(picture.Is(1677, y, kRed));
        EXPECT_TRUE(picture.Is(1682, y, kBlack));
        EXPECT_TRUE(picture.Is(1917, y, kBlack));
    }
}

TEST(ScreenPresenterTest, WindowedCopiesOneToOneAndFourByThreeStretchesWithoutBars)
{
    {
        HeadlessHge hge({}, 64, 48);
        ASSERT_TRUE(hge->System_Initiate());
        const HTARGET target = DrawGamePicture(hge.Get(), 64, 48);
        FillScreen(hge.Get(), 0xFF808080);
        ScreenPresenter().Draw(hge.Get(), target, DisplaySettings{64, 48, 0, 64, 48, false});
        ScreenPicture picture(hge.Get());
        EXPECT_TRUE(picture.Is(0, 0, kRed));
        EXPECT_TRUE(picture.Is(28, 20, kRed));
        EXPECT_TRUE(picture.Is(63, 0, kGreen));
        EXPECT_TRUE(picture.Is(0, 47, kBlue));
        EXPECT_TRUE(picture.Is(63, 47, kWhite));
    }
    HeadlessHge hge({}, 160, 120);
    ASSERT_TRUE(hge->System_Initiate());
    const HTARGET target = DrawGamePicture(hge.Get(), 64, 48);
    FillScreen(hge.Get(), 0xFF808080);
    ScreenPresenter().Draw(hge.Get(), target, DisplaySettings{64, 48, 1, 160, 120, false});
    ScreenPicture picture(hge.Get());
    EXPECT_TRUE(picture.Is(1, 1, kRed));
    EXPECT_TRUE(picture.Is(70, 50, kRed));
    EXPECT_TRUE(picture.Is(90, 50, kGreen));
    EXPECT_TRUE(picture.Is(158, 1, kGreen));
    EXPECT_TRUE(picture.Is(1, 118, kBlue));
    EXPECT_TRUE(picture.Is(158, 118, kWhite));
}

} // namespace
} // namespace Vel
