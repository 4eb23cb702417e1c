#include "VelSingleton.h"
#include "app/Callback.h"
#include "app/DisplaySettings.h"
#include "app/EngineOptions.h"
#include "app/UserFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

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
    Registry first;
    EXPECT_EQ(&Registry::GetSingleton(), &first);
    EXPECT_DEATH({ Registry second; }, "!ms_Singleton");
    EXPECT_DEATH(
        {
            Forgetful instance;
            Forgetful::Forget();
        },
        "ms_Singleton");
}

TEST(SingletonTest, InstanceIsGoneAfterDestruction)
{
    {
        Registry only;
        EXPECT_EQ(Registry::GetSingletonPtr(), &only);
    }
    EXPECT_EQ(Registry::GetSingletonPtr(), nullptr);
    Registry again; // a new instance may register once the old one is gone
    EXPECT_EQ(Registry::GetSingletonPtr(), &again);
}

struct Counter
{
    int calls = 0;
    float volume = 0.25f;
    void Bump() { ++calls; }
    float Volume() { return volume; }
};

TEST(CallbackTest, MemberCallsAndEmptyCallbacks)
{
    Counter counter;
    Callback<void()> bump(&counter, &Counter::Bump);
    bump();
    bump();
    EXPECT_EQ(counter.calls, 2);

    Callback<float()> volume(&counter, &Counter::Volume);
    EXPECT_FLOAT_EQ(volume(), 0.25f);

    Callback<float()> empty;
    EXPECT_TRUE(empty.IsEmpty());
    EXPECT_FLOAT_EQ(empty(), 0.0f);
    Callback<void()> nullTarget(static_cast<Counter*>(nullptr), &Counter::Bump);
    EXPECT_TRUE(nullTarget.IsEmpty());
    nullTarget(); // never calls through a null target
}

DisplaySettings FullScreen(int gameWidth, int gameHeight, int desktopWidth, int desktopHeight)
{
    DisplaySettings display;
    display.gameWidth = gameWidth;
    display.gameHeight = gameHeight;
    display.fullscreen = 1;
    ChooseDisplayMode(display, desktopWidth, desktopHeight);
    return display;
}

TEST(DisplayTest, ModeChoiceFollowsTheDesktopShape)
{
    const DisplaySettings square = FullScreen(800, 600, 1280, 1024);
    EXPECT_EQ(square.screenWidth, 1280);
    EXPECT_EQ(square.screenHeight, 1024);
    EXPECT_FALSE(square.widescreen); // 0.8 is not below 0.75

    const DisplaySettings wide = FullScreen(800, 600, 1280, 800);
    EXPECT_TRUE(wide.widescreen); // 0.625

    EXPECT_FALSE(FullScreen(800, 600, 1024, 768).widescreen); // exactly 0.75

    DisplaySettings windowed;
    windowed.gameWidth = 640;
    windowed.gameHeight = 480;
    ChooseDisplayMode(windowed, 1920, 1080);
    EXPECT_EQ(windowed.screenWidth, 640);
    EXPECT_EQ(windowed.screenHeight, 480);
    EXPECT_FALSE(windowed.widescreen);
}

TEST(DisplayTest, ScreenToGameOnAPillarBoxedScreen)
{
    const DisplaySettings display = FullScreen(800, 600, 1920, 1080);
    ASSERT_TRUE(display.widescreen);

    float x = 960.0f, y = 540.0f;
    ScreenToGame(display, x, y);
    EXPECT_NEAR(x, 400.0f, 0.01f);
    EXPECT_NEAR(y, 300.0f, 0.01f);

    x = 100.0f; // on the left bar
    y = 540.0f;
    ScreenToGame(display, x, y);
    EXPECT_GT(x, 800.0f * 100);
    EXPECT_GT(y, 600.0f * 100);

    x = 240.02f; // left edge of the picture
    y = 0.0f;
    ScreenToGame(display, x, y);
    EXPECT_NEAR(x, 0.0f, 0.01f);

    x = 1679.0f; // inside the right edge
    y = 1080.0f;
    ScreenToGame(display, x, y);
    EXPECT_NEAR(x, 799.4f, 0.1f);
    EXPECT_NEAR(y, 600.0f, 0.01f);
}

TEST(DisplayTest, ScreenToGameScalesOrLeavesAlone)
{
    DisplaySettings same;
    same.gameWidth = same.screenWidth = 800;
    same.gameHeight = same.screenHeight = 600;
    float x = 123.5f, y = 77.25f;
    ScreenToGame(same, x, y);
    EXPECT_EQ(x, 123.5f);
    EXPECT_EQ(y, 77.25f);

    const DisplaySettings square = FullScreen(800, 600, 1280, 1024);
    x = 640.0f;
    y = 512.0f;
    ScreenToGame(square, x, y);
    EXPECT_FLOAT_EQ(x, 400.0f);
    EXPECT_FLOAT_EQ(y, 300.0f);
}

class NumberedFilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = fs::temp_directory_path() / ("vel_numbered_" + std::to_string(getpid()));
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override { fs::remove_all(m_folder); }
    void Touch(const std::string& name) { std::ofstream(m_folder / name) << "x"; }
    std::string Next() { return fs::path(UserFiles::NextNumberedFile(m_folder.string(), ".bmp")).filename(); }

    fs::path m_folder;
};

TEST_F(NumberedFilesTest, NextNumberIsOneMoreThanTheHighestNumber)
{
    EXPECT_EQ(Next(), "00000001.bmp");
    Touch("00000007.bmp");
    Touch("00000003.bmp");
    EXPECT_EQ(Next(), "00000008.bmp");
    // Names that are not numbers sort after the digits but never reset the count or get overwritten.
    Touch("holiday.bmp");
    Touch("zz.bmp");
    Touch("00000009.sav");
    EXPECT_EQ(Next(), "00000008.bmp");
    Touch("123456789.bmp");
    EXPECT_EQ(Next(), "123456790.bmp");
}

TEST_F(NumberedFilesTest, MissingFolderStartsAtOne)
{
    EXPECT_EQ(fs::path(UserFiles::NextNumberedFile((m_folder / "absent").string(), ".bmp")).filename(),
              "00000001.bmp");
}

TEST(UserFilesTest, OverrideNamesTheFolders)
{
    UserFiles::SetUserFolderOverride("/tmp/somewhere");
    EXPECT_EQ(UserFiles::GetUserFolder(), u"/tmp/somewhere/");
    EXPECT_EQ(UserFiles::GetSaveFolder(), u"/tmp/somewhere/save/");
    EXPECT_EQ(UserFiles::GetScreenshotFolder(), u"/tmp/somewhere/screenshots/");
    UserFiles::SetUserFolderOverride("");
    const std::u16string standard = UserFiles::GetUserFolder();
    EXPECT_TRUE(standard.size() > 10 && standard.substr(standard.size() - 10) == u"/Velloria/");
}

std::optional<EngineOptions> ParseOptions(std::vector<std::string> arguments, std::string& error)
{
    return EngineOptions::Parse(arguments, error);
}

TEST(EngineOptionsTest, RunOptions)
{
    std::string error;
    const auto options = ParseOptions({"game", "--headless", "--desktop", "1280x800", "--frames", "5", "--dt",
                                       "0.02", "--snapshot", "3:a.png", "--snapshot", "5:b.bmp", "--user-dir",
                                       "/tmp/u", "--trace", "t.txt", "--input", "in.txt"},
                                      error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->mode, EngineOptions::Mode::Run);
    EXPECT_EQ(options->gameFolder, "game");
    EXPECT_TRUE(options->platform.headless);
    EXPECT_EQ(options->platform.desktopWidth, 1280);
    EXPECT_EQ(options->platform.desktopHeight, 800);
    EXPECT_EQ(options->platform.maxFrames, 5);
    EXPECT_DOUBLE_EQ(options->platform.fixedDelta, 0.02);
    ASSERT_EQ(options->platform.snapshots.size(), 2u);
    EXPECT_EQ(options->platform.snapshots[1].frame, 5);
    EXPECT_EQ(options->platform.snapshots[1].fileName, "b.bmp");
    EXPECT_EQ(options->userFolder, "/tmp/u");
    EXPECT_EQ(options->traceFile, "t.txt");
    EXPECT_EQ(options->inputFile, "in.txt");
}

TEST(EngineOptionsTest, ToolsAndMistakes)
{
    std::string error;
    auto check = ParseOptions({"check", "g"}, error);
    ASSERT_TRUE(check);
    EXPECT_EQ(check->mode, EngineOptions::Mode::Check);
    auto pack = ParseOptions({"pack", "data.pak", "a", "b"}, error);
    ASSERT_TRUE(pack);
    EXPECT_EQ(pack->packPaths.size(), 2u);

    for (const std::vector<std::string>& wrong :
         std::vector<std::vector<std::string>>{{"--frames"},
                                               {"--frames", "-1"},
                                               {"--frames", "x"},
                                               {"--dt", "0"},
                                               {"--desktop", "1920"},
                                               {"--snapshot", "3:a.gif"},
                                               {"--snapshot", "a.png"},
                                               {"--bogus"},
                                               {"a", "b"},
                                               {"check"},
                                               {"pack", "x"}}) {
        error.clear();
        EXPECT_FALSE(ParseOptions(wrong, error)) << wrong[0];
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
} // namespace Vel
