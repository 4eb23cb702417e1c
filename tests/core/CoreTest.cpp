#include "core/VelSingleton.h"
#include "core/Callback.h"
#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "core/UserFiles.h"
#include "platform/ArchiveWriter.h"

#include "HeadlessHge.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace Vel {
namespace {

class Registry : public Singleton<Registry>
{
};

// Lets a test forget the registered instance, the only way to destroy an unregistered one.
class Forgetful : public Singleton<Forgetful>
{
public:
    static void Forget() { ms_Singleton = nullptr; }
};

TEST(SingletonDeathTest, SecondInstanceAndUnregisteredDestructionAbort)
{
    {
        Registry only;
        EXPECT_EQ(Registry::GetSingletonPtr(), &only);
    }
    EXPECT_EQ(Registry::GetSingletonPtr(), nullptr);
    Registry first; // a new instance may register once the old one is gone
    EXPECT_EQ(&Registry::GetSingleton(), &first);
    EXPECT_DEATH({ Registry second; }, "!ms_Singleton");
    EXPECT_DEATH(
        {
            Forgetful instance;
            Forgetful::Forget();
        },
        "ms_Singleton");
}

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

DisplaySettings Display(int gameWidth, int gameHeight, int fullscreen, int desktopWidth, int desktopHeight)
{
    DisplaySettings display;
    display.gameWidth = gameWidth;
    display.gameHeight = gameHeight;
    display.fullscreen = fullscreen;
    ChooseDisplayMode(display, desktopWidth, desktopHeight);
    return display;
}

std::pair<float, float> ToGame(const DisplaySettings& display, float x, float y)
{
    ScreenToGame(display, x, y);
    return {x, y};
}

TEST(DisplayTest, ModeChoiceFollowsTheDesktopShape)
{
    // Full screen takes the desktop size and is pillar-boxed when height/width is below 0.75.
    const auto mode = [](const DisplaySettings& display) {
        return std::tuple(display.screenWidth, display.screenHeight, display.widescreen);
    };
    const DisplaySettings square = Display(800, 600, 1, 1280, 1024);
    EXPECT_EQ(mode(square), std::tuple(1280, 1024, false));
    EXPECT_EQ(mode(Display(800, 600, 1, 1280, 800)), std::tuple(1280, 800, true));
    EXPECT_EQ(mode(Display(800, 600, 1, 1024, 768)), std::tuple(1024, 768, false));
    const DisplaySettings windowed = Display(640, 480, 0, 1920, 1080);
    EXPECT_EQ(mode(windowed), std::tuple(640, 480, false));

    // A window of the game size leaves positions alone; a 4:3 full screen scales them.
    EXPECT_EQ(ToGame(windowed, 123.5f, 77.25f), std::pair(123.5f, 77.25f));
    EXPECT_EQ(ToGame(square, 640.0f, 512.0f), std::pair(400.0f, 300.0f));

    // Pillar-boxed: the picture is 1440 wide from x = 240; the bars are far outside the game.
    const DisplaySettings wide = Display(800, 600, 1, 1920, 1080);
    auto [x, y] = ToGame(wide, 960.0f, 540.0f);
    EXPECT_NEAR(x, 400.0f, 0.01f);
    EXPECT_NEAR(y, 300.0f, 0.01f);
    std::tie(x, y) = ToGame(wide, 100.0f, 540.0f);
    EXPECT_TRUE(x > 800.0f * 100 && y > 600.0f * 100);
    EXPECT_NEAR(ToGame(wide, 240.02f, 0.0f).first, 0.0f, 0.01f);
    std::tie(x, y) = ToGame(wide, 1679.0f, 1080.0f);
    EXPECT_NEAR(x, 799.4f, 0.1f);
    EXPECT_NEAR(y, 600.0f, 0.01f);
}

TEST(UserFilesTest, NextNumberIsOneMoreThanTheHighestNumber)
{
    TestTools::TempFolder folder;
    const auto next = [&folder] {
        return fs::path(UserFiles::NextNumberedFile(folder.File("shots"), ".bmp")).filename();
    };
    EXPECT_EQ(next(), "00000001.bmp"); // the folder does not exist yet
    folder.Write("shots/00000007.bmp", "x");
    folder.Write("shots/00000003.bmp", "x");
    EXPECT_EQ(next(), "00000008.bmp");
    // Names that are not numbers sort after the digits but never reset the count or get overwritten.
    for (const char* name : {"shots/holiday.bmp", "shots/zz.bmp", "shots/00000009.sav"})
        folder.Write(name, "x");
    EXPECT_EQ(next(), "00000008.bmp");
    folder.Write("shots/123456789.bmp", "x");
    EXPECT_EQ(next(), "123456790.bmp");
}

using TestTools::LoadText;

// An archive in the working folder holding one file name -> text, protected with the password.
void MakeArchive(const std::string& archive, const std::string& name, const std::string& password)
{
    std::ofstream(name) << "from " << archive;
    std::string error;
    ASSERT_TRUE(ArchiveWriter::Pack(archive, {name}, password, error)) << error;
    std::filesystem::remove(name);
}

// The archive list is read from "preferences.ini" in the working folder.
TEST(HgeManagerTest, ArchiveListStopsAtTheFirstGapAndFailedArchivesAreLogged)
{
    TestTools::TempFolder folder;
    folder.Enter();
    EXPECT_TRUE(HgeManager().MountArchives()) << "no list: nothing to mount and nothing failed";
    MakeArchive("one.pak", "a.txt", HgeManager::kArchivePassword);
    MakeArchive("three.pak", "b.txt", HgeManager::kArchivePassword);
    folder.Write("preferences.ini", "[archives]\n1=one.pak\n3=three.pak\n");
    {
        HgeManager gap;
        EXPECT_TRUE(gap.MountArchives());
        EXPECT_EQ(LoadText(gap.GetHge(), "a.txt"), "from one.pak");
        EXPECT_EQ(LoadText(gap.GetHge(), "b.txt"), "<none>");
    }
    MakeArchive("locked.pak", "c.txt", "another password");
    MakeArchive("good.pak", "d.txt", HgeManager::kArchivePassword);
    folder.Write("damaged.pak", "PK\x03\x04 this is not an archive");
    folder.Write("preferences.ini", "[archives]\n1=locked.pak\n2=absent.pak\n3=damaged.pak\n4=good.pak\n");
    std::filesystem::remove("engine.log");
    HgeManager manager;
    EXPECT_FALSE(manager.MountArchives());
    EXPECT_EQ(LoadText(manager.GetHge(), "c.txt"), "<none>");
    EXPECT_EQ(LoadText(manager.GetHge(), "d.txt"), "from good.pak");
    const std::string log = folder.Read("engine.log");
    for (const char* failed : {"locked.pak", "absent.pak", "damaged.pak"})
        EXPECT_NE(log.find(failed), std::string::npos) << log;
    EXPECT_EQ(log.find("good.pak"), std::string::npos) << log;
}

} // namespace
} // namespace Vel
