#include "core/Callback.h"
#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "platform/ArchiveWriter.h"

#include "HeadlessHge.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>

namespace Vel {
namespace {

struct Counter
{
    int calls = 0;
    float Bump() { return 0.25f * static_cast<float>(++calls); }
};

TEST(CallbackTest, MemberCallsAndEmptyCallbacks)
{
    Counter counter;
    Callback<float()> bump(&counter, &Counter::Bump);
    bump();
    EXPECT_FLOAT_EQ(bump(), 0.5f);
    EXPECT_TRUE(Callback<float()>().IsEmpty());
    Callback<float()> nullTarget(static_cast<Counter*>(nullptr), &Counter::Bump);
    EXPECT_TRUE(nullTarget.IsEmpty());
    EXPECT_FLOAT_EQ(nullTarget(), 0.0f); // never calls through a null target
}

// Clicks on a full screen, pillar-boxed or not, are the menu run's; these are the mode choice and the bars.
TEST(DisplayTest, ModeChoiceFollowsTheDesktopShapeAndTheBarsAreFarOutsideTheGame)
{
    const auto display = [](int fullscreen, int desktopWidth, int desktopHeight) {
        DisplaySettings chosen;
        chosen.gameWidth = 800;
        chosen.gameHeight = 600;
        chosen.fullscreen = fullscreen;
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

// The archive list is read from "preferences.ini" in the working folder; failed archives are the engine run's.
TEST(HgeManagerTest, ArchiveListStopsAtTheFirstGap)
{
    TestTools::TempFolder folder;
    folder.Enter();
    EXPECT_TRUE(HgeManager().MountArchives()) << "no list: nothing to mount and nothing failed";
    for (const std::string name : {"one", "three"}) {
        std::ofstream(name + ".txt") << "from " << name;
        std::string error;
        ASSERT_TRUE(ArchiveWriter::Pack(name + ".pak", {name + ".txt"}, HgeManager::kArchivePassword, error)) << error;
        std::filesystem::remove(name + ".txt");
    }
    folder.Write("preferences.ini", "[archives]\n1=one.pak\n3=three.pak\n");
    HgeManager manager;
    EXPECT_TRUE(manager.MountArchives());
    EXPECT_EQ(TestTools::LoadText(manager.GetHge(), "one.txt"), "from one");
    EXPECT_EQ(TestTools::LoadText(manager.GetHge(), "three.txt"), "<none>");
}

} // namespace
} // namespace Vel
