#include "resources/ResourceManager.h"

#include "AllocationCounter.h"
#include "HeadlessHge.h"
#include "ScreenPicture.h"
#include "TempFolder.h"
#include "core/TextCodec.h"
#include "resources/Animation.h"
#include "resources/FontFace.h"
#include "resources/NineSlice.h"
#include "resources/ScreenPresenter.h"
#include "resources/Sprite.h"
#include "resources/Style.h"
#include "resources/TextButtonLook.h"
#include "resources/hgeFont.h"
#include "resources/hgeSprite.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace Vel {
namespace {

using TestTools::Box;

// An initiated headless interface logging into a temporary folder, and the manager over it.
class ResourceManagerTest : public ::testing::Test
{
protected:
    ResourceManagerTest() : m_hge(PlatformOptions{}, 64, 48)
    {
        m_hge->System_SetState(HGE_LOGFILE, m_folder.File("engine.log").c_str());
        EXPECT_TRUE(m_hge->System_Initiate());
    }

    // A BMP picture of one colour in the temporary folder; returns its wide name.
    std::u16string Picture(const std::string& name, int width, int height, std::uint32_t argb = 0xFFFF0000)
    {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
        SDL_FillRect(surface, nullptr, argb);
        EXPECT_EQ(SDL_SaveBMP(surface, m_folder.File(name).c_str()), 0);
        SDL_FreeSurface(surface);
        return Wide(name);
    }
    std::u16string Wide(const std::string& name) const { return TextCodec::Utf8ToWide(m_folder.File(name)); }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    ResourceManager m_manager;
};

TEST_F(ResourceManagerTest, NamesAreGetOrCreatePerKindAndTexturesAreSharedAndLoadedLazily)
{
    Sprite* door = m_manager.GetSprite(u"door");
    EXPECT_EQ(m_manager.GetSprite(u"door"), door);
    EXPECT_NE(m_manager.GetAnimation(u"door"), nullptr) << "each kind has its own names";
    EXPECT_EQ(m_manager.FindResource(u"door"), door) << "sprites are searched first";
    Animation* rain = m_manager.GetAnimation(u"rain");
    EXPECT_EQ(m_manager.FindResource(u"rain"), rain);
    EXPECT_EQ(m_manager.FindResource(u"Rain"), nullptr);

    const std::u16string file = Picture("bild ä.bmp", 4, 2);
    door->SetFile(file);
    EXPECT_EQ(door->GetFrame().GetTexture(), 0u) << "defining a picture loads nothing";
    EXPECT_EQ(door->GetWidth(), 4.0f) << "measuring a sprite loads it, by its UTF-8 name";
    rain->AddFrame(file, 0.25f, 0.0f, 0.0f);
    EXPECT_EQ(rain->GetWidth(), 0.0f) << "an undrawn frame has no size";
    rain->Render(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(rain->GetFrame(0).GetTexture(), door->GetFrame().GetTexture());
    door->SetFile(Picture("wide.bmp", 6, 3));
    EXPECT_EQ(door->GetWidth(), 6.0f) << "a new file replaces the loaded picture";
}

TEST_F(ResourceManagerTest, FailedFileIsCachedUntilReleasedOrUnloadedAndLoggedOnce)
{
    Sprite* sprite = m_manager.GetSprite(u"late");
    sprite->SetFile(Wide("late.bmp"));
    for (int i = 0; i < 3; ++i) {
        sprite->Render(0.0f, 0.0f, 1.0f, 1.0f);
        m_manager.UnloadAll(); // the next draw tries again, without a second log line
    }
    Animation* animation = m_manager.GetAnimation(u"later");
    animation->AddFrame(Wide("later.bmp"), 0.25f, 0.0f, 0.0f);
    animation->Render(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(sprite->GetWidth(), 0.0f);
    Picture("late.bmp", 4, 2);
    Picture("later.bmp", 5, 5);
    animation->Render(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(std::pair(sprite->GetWidth(), animation->GetWidth()), std::pair(0.0f, 0.0f)) << "failures stay cached";
    m_manager.ReleaseTexture(Wide("late.bmp"));
    animation->Render(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(std::pair(sprite->GetWidth(), animation->GetWidth()), std::pair(4.0f, 0.0f)) << "only the released";
    m_manager.UnloadAll();
    animation->Render(0.0f, 0.0f, 1.0f, 1.0f);
    EXPECT_EQ(std::pair(sprite->GetWidth(), animation->GetWidth()), std::pair(4.0f, 5.0f));

    m_manager.GetSprite(u"no file")->Render(0.0f, 0.0f, 1.0f, 1.0f);
    const std::string log = m_folder.Read("engine.log");
    for (const std::string& file : {m_folder.File("late.bmp"), m_folder.File("later.bmp")}) {
        const std::string line = "Picture '" + file + "' cannot";
        EXPECT_EQ(log.find(line), log.rfind(line)) << log;
        EXPECT_NE(log.find(line), std::string::npos) << log;
    }
    EXPECT_EQ(log.find("Picture ''"), std::string::npos) << "a sprite without a file is not an error";
}

// A zoomed sprite is the character's test.
TEST_F(ResourceManagerTest, PicturesCoverExactlyTheirRectangleAtTheirOpacity)
{
    Animation* green = m_manager.GetAnimation(u"green");
    green->AddFrame(Picture("green.bmp", 3, 3, 0xFF00FF00), 0.25f, 3.0f, 4.0f);
    Sprite* blue = m_manager.GetSprite(u"blue");
    blue->SetFile(Picture("blue.bmp", 2, 2, 0xFF0000FF));
    Sprite* white = m_manager.GetSprite(u"white");
    white->SetFile(Picture("white.bmp", 2, 2, 0xFFFFFFFF));

    const TestTools::ScreenPicture picture = TestTools::DrawFrame(
        m_hge.Get(),
        [&] {
            green->Render(20.0f, 20.0f, 2.0f, 1.0f); // the offset is not zoomed
            blue->RenderStretched(40.0f, 30.0f, 50.0f, 35.0f);
            white->Render(0.0f, 40.0f, 1.0f, 0.5f);
            white->Render(4.0f, 40.0f, 1.0f, 2.0f);
            white->Render(8.0f, 40.0f, 1.0f, -1.0f);
        },
        0xFF000040);
    EXPECT_EQ(picture.BoxOf(0x00FF00), (Box{23, 24, 28, 29, 36}));
    EXPECT_EQ(picture.BoxOf(0x0000FF), (Box{40, 30, 49, 34, 50}));
    // Half the white over the background; an opacity beyond 0..1 is kept within it.
    EXPECT_EQ(picture.BoxOf(0x7F7F9F), (Box{0, 40, 1, 41, 4}));
    EXPECT_EQ(picture.BoxOf(0xFFFFFF), (Box{4, 40, 5, 41, 4}));
    EXPECT_EQ(picture.At(8, 40), 0x000040u);
}

TEST_F(ResourceManagerTest, SteadyDrawingOfPicturesBitmapTextAndTrueTypeTextAllocatesNothing)
{
    std::filesystem::create_directories(m_folder.Path() / "fonts");
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
                               m_folder.Path() / "fonts" / "sans.ttf");
    m_folder.Enter();
    Style::Values values;
    values.font = u"sans";
    values.size = 16;
    m_manager.GetStyle(u"label")->Set(values, m_manager.GetFontLibrary());
    NineSlice* slice = m_manager.GetNineSlice(u"n");
    slice->SetFile(Picture("n.bmp", 12, 12));
    slice->SetBorders({4.0f, 4.0f, 4.0f, 4.0f});
    TextButtonLook button({u"Start", m_manager.GetStyle(u"label"), slice, 60.0f, 20.0f});
    Sprite* sprite = m_manager.GetSprite(u"s");
    sprite->SetFile(Picture("s.bmp", 4, 4));
    Animation* animation = m_manager.GetAnimation(u"a");
    animation->AddFrame(Picture("a.bmp", 4, 4), 0.25f, 1.0f, 1.0f);
    animation->AddFrame(Picture("b.bmp", 4, 4), 0.25f, 1.0f, 1.0f);
    animation->SetCycle(true);
    hgeFont font(std::string(VEL_TEST_DATA) + "/fonts/letters.fnt");
    FontFace* face = m_manager.GetFontFace(u"/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
    ASSERT_NE(face, nullptr);
    const std::u16string text = u"Velloria\tAV\nglyphs";
    const auto frame = [&](int n) {
        ASSERT_TRUE(m_hge->Gfx_BeginScene());
        sprite->Render(1.0f, 1.0f, 1.5f, 0.5f);
        sprite->RenderStretched(0.0f, 0.0f, 8.0f, 8.0f);
        animation->Render(1.0f, 1.0f, 1.0f, 1.0f);
        animation->Update(0.25f);
        font.printfb(0, 0, 100, 100, HGETEXT_MIDDLE | HGETEXT_CENTER, "Frame %d AAAA AAAA AB", n % 10);
        font.Render(60, 40, HGETEXT_RIGHT, "AB\nA?B");
        face->DrawText(text, 2, 20);
        button.Render(2.0f, 2.0f, 1.0f, 1.0f);
        (void)face->MeasureWidth(text);
        (void)face->MeasureHeight(text);
        m_hge->Gfx_EndScene();
    };
    frame(0); // loads the textures of both animation frames and makes the glyphs
    frame(1);
    const TestTools::AllocationScope scope;
    for (int n = 2; n < 30; ++n)
        frame(n);
    EXPECT_EQ(scope.Allocations(), 0u);
}

// Frame durations are powers of two, so sums of steps compare exactly.
Animation& WithFrames(Animation& animation, int count)
{
    for (int i = 0; i < count; ++i)
        animation.AddFrame(u"f.png", 0.25f, 0.0f, 0.0f);
    return animation;
}

Callback<void()> Count(int& calls)
{
    return Callback<void()>([&calls] { ++calls; });
}

TEST(AnimationTest, FramesAdvanceOnePerUpdateAndOnlyNonCyclingAnimationsFinish)
{
    TestTools::HeadlessHge hge; // the frames' quads take a reference on the interface
    Animation one, four, cycling, empty;
    int calls[4] = {};
    WithFrames(one, 1).SetFinishHandler(Count(calls[0]));
    WithFrames(four, 4).SetFinishHandler(Count(calls[1]));
    WithFrames(cycling, 2).SetCycle(true);
    cycling.SetFinishHandler(Count(calls[2]));
    empty.SetFinishHandler(Count(calls[3])); // a name the script never defined must not hold its waiters
    one.Update(0.0f);
    EXPECT_EQ(calls[0], 1) << "a single frame is the last one at once";
    // Per step: four's finish calls, its frame, the cycling frame. A step longer than several frames advances one;
    // the time left over carries on into the next update.
    std::vector<int> shown;
    for (float step : {0.125f, 0.125f, 5.0f, 0.0f, 0.25f}) {
        for (Animation* animation : {&one, &four, &cycling, &empty})
            animation->Update(step);
        shown.push_back(calls[1] * 100 + four.GetCurrentFrame() * 10 + cycling.GetCurrentFrame());
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 11, 20, 131, 130}));
    EXPECT_EQ(std::vector(calls, calls + 4), (std::vector{1, 1, 0, 1}));

    // A new registration on a played-out animation is called at the next update.
    four.SetFinishHandler(Count(calls[1]));
    four.Update(0.0f);
    EXPECT_EQ(calls[1], 2);
    empty.Render(0.0f, 0.0f, 1.0f, 1.0f); // nothing to draw, and no harm
}

TEST(AnimationTest, EveryRegistrationIsCalledOnceAndHandlersMayChangeTheList)
{
    TestTools::HeadlessHge hge;
    Animation animation;
    WithFrames(animation, 2);
    int first = 0, second = 0, removed = 0, victim = 0, later = 0;
    animation.SetFinishHandler(Count(first));
    animation.SetFinishHandler(Count(second));
    animation.RemoveFinishHandler(animation.SetFinishHandler(Count(removed)));
    EXPECT_EQ(animation.SetFinishHandler(Callback<void()>()), 0u) << "an empty handler is not kept";
    animation.Update(0.25f);
    animation.Update(0.25f);
    EXPECT_EQ(std::vector({first, second, removed}), std::vector({1, 1, 0}));
    EXPECT_EQ(animation.WaitingHandlers(), 0u);

    // A handler registers a new one (due at the next finish) and withdraws the one after it, as a command does
    // that ends the scene holding the other waiting command.
    Resource::FinishToken victimToken = 0;
    animation.SetFinishHandler(Callback<void()>([&] {
        animation.SetFinishHandler(Count(later));
        animation.RemoveFinishHandler(victimToken);
    }));
    victimToken = animation.SetFinishHandler(Count(victim));
    animation.Update(0.0f);
    EXPECT_EQ(std::vector({later, victim}), std::vector({0, 0}));
    animation.Update(0.0f);
    EXPECT_EQ(std::vector({later, victim}), std::vector({1, 0}));

    Sprite sprite;
    int still = 0;
    EXPECT_EQ(sprite.SetFinishHandler(Count(still)), 0u);
    EXPECT_EQ(still, 1) << "a still picture is complete at once";
}

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
    for (const int y : {0, 539, 540, 1079})
        for (const int x : {0, 239, 1680, 1919})
            EXPECT_EQ(wide.At(x, y), 0u) << x << ", " << y;
}

} // namespace
} // namespace Vel
