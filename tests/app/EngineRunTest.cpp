// End-to-end runs of the engine program on the small games under tests/games, headless.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

namespace {

using namespace Vel::TestTools;
using ::testing::HasSubstr;

// Player files as the engine writes them.
const std::string kData = VEL_TEST_DATA;

// The four bytes at the offset as a number, for picture headers.
std::int32_t Number(const std::string& data, std::size_t offset, bool bigEndian)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(data.at(offset + (bigEndian ? i : 3 - i)));
    return static_cast<std::int32_t>(value);
}

class EngineRunTest : public ::testing::Test
{
protected:
    std::string Path(const std::string& name) { return "'" + m_root.File(name) + "'"; }
    std::string Stderr() { return m_root.Read("err.txt"); }

    TempFolder m_root;
};

// Snapshots in both formats are checked by the other runs, at the game's and the desktop's size.
TEST_F(EngineRunTest, ScreenshotsHaveTheGameSize)
{
    const fs::path game = CopyGame(m_root, "basic");
    ASSERT_EQ(RunGame(m_root, game, "--frames 5" + Replay(m_root, game / "tools" / "screenshots.replay")), 0)
        << Stderr();
    const fs::path shots = m_root.Path() / "user" / "screenshots";
    EXPECT_TRUE(fs::exists(shots / "00000002.bmp"));
    EXPECT_FALSE(fs::exists(shots / "00000003.bmp"));
    EXPECT_TRUE(fs::is_directory(m_root.Path() / "user" / "save"));
    ExpectTrace(m_root, game / "expected" / "screenshots.trace");

    // Screenshots are BMPs of the window, which is the game size; rows may run either way.
    const std::string bmp = m_root.Read("user/screenshots/00000001.bmp");
    ASSERT_GT(bmp.size(), 26u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Number(bmp, 18, false), 320);
    EXPECT_EQ(std::abs(Number(bmp, 22, false)), 240);
}

TEST_F(EngineRunTest, GamesThatCannotStartOrBadInputSayWhyAndFail)
{
    const fs::path noSize = CopyGame(m_root, "no_resolution");
    EXPECT_NE(RunGame(m_root, noSize, "--frames 1"), 0);
    EXPECT_THAT(Stderr(), HasSubstr("no resolution set by system.vls"));
    EXPECT_THAT(m_root.Read("no_resolution/engine.log"), HasSubstr("no resolution set by system.vls"));

    const fs::path empty = m_root.Path() / "empty";
    fs::create_directories(empty);
    EXPECT_NE(RunGame(m_root, empty, "--frames 1"), 0);
    EXPECT_THAT(Stderr(), HasSubstr(empty.string()));
    EXPECT_NE(Engine(m_root, Path("absent") + " --headless"), 0);

    // Bad replay input or a bad option stops the engine before the game starts.
    const fs::path game = CopyGame(m_root, "basic");
    EXPECT_EQ(RunGame(m_root, game, "--frames 5" + Replay(m_root, game / "tools" / "bad_key.replay")), 2);
    EXPECT_THAT(Stderr(), HasSubstr("line 3"));
    EXPECT_FALSE(fs::exists(game / "system.cvls"));
    EXPECT_EQ(Engine(m_root, "--frames"), 2);

    // A window that cannot open is a failure with its cause, not a silent success; it reads and writes no values.
    std::ofstream(game / "system.vls", std::ios::app) << "sys_trigger(seen)\n";
    setenv("SDL_VIDEODRIVER", "none-such", 1);
    EXPECT_EQ(Engine(m_root, "'" + game.string() + "' --frames 1 --user-dir " + Path("user")), 1);
    unsetenv("SDL_VIDEODRIVER");
    EXPECT_FALSE(fs::exists(m_root.Path() / "user" / "sys0.dfn"));
    EXPECT_THAT(Stderr(), HasSubstr("none-such"));
    EXPECT_THAT(m_root.Read("basic/engine.log"), HasSubstr("none-such"));
}

TEST_F(EngineRunTest, PersistentTriggersLiveInTheUserFolderAcrossRuns)
{
    // The file holds a count, then each trigger's name, kind and value, the texts as byte lengths and UTF-16.
    const fs::path game = CopyGame(m_root, "basic");
    std::ofstream(game / "system.vls", std::ios::app) << "sys_trigger(seen)\n";
    ASSERT_EQ(RunGame(m_root, game, "--frames 1"), 0) << Stderr();
    EXPECT_EQ(m_root.Read("user/sys0.dfn"), m_root.Read(kData + "/seen_sys0.dfn"));

    // What the player earned (here written by hand, as play would) comes back at the next start and is written
    // out again, with a value of another game that shares the folder.
    const std::string earned = m_root.Read(kData + "/earned_sys0.dfn");
    m_root.Write("user/sys0.dfn", earned);
    ASSERT_EQ(RunGame(m_root, game, "--frames 1"), 0) << Stderr();
    EXPECT_EQ(m_root.Read("user/sys0.dfn"), earned);

    // Checking the scripts never touches the player's values; it knows only the user folder in the documents.
    const fs::path documents = m_root.Path() / "home" / "Documents" / "Velloria";
    fs::create_directories(documents);
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", (m_root.Path() / "home").c_str(), 1);
    EXPECT_EQ(Engine(m_root, "check '" + game.string() + "'"), 0) << Stderr();
    setenv("HOME", home.c_str(), 1);
    EXPECT_FALSE(fs::exists(documents / "sys0.dfn"));
}

TEST_F(EngineRunTest, WidescreenFullScreenShowsTheGamePictureBetweenBars)
{
    // Nothing draws into the game picture yet, so picture and bars are both black: the run shows that the screen
    // sprites cover the whole desktop-sized screen (the pixel geometry is tested with the screen presenter).
    const fs::path game = CopyGame(m_root, "basic");
    std::ofstream(game / "system.vls") << "graphics_init(resolution=800:600, fullscreen=1)\n";
    ASSERT_EQ(RunGame(m_root, game, "--desktop 1920x1080 --frames 2" + Snapshot(m_root, 2, "wide.bmp")), 0) << Stderr();
    const std::string bmp = m_root.Read("wide.bmp");
    ASSERT_EQ(Number(bmp, 18, false), 1920) << "full screen opens at the desktop size";
    ASSERT_EQ(std::abs(Number(bmp, 22, false)), 1080);
    for (int y : {10, 540, 1070})
        for (int x : {100, 239, 241, 960, 1678, 1681, 1900})
            EXPECT_EQ(BmpPixel(bmp, x, y), 0u) << x << ", " << y;
}

TEST_F(EngineRunTest, ScriptsFromAnArchiveAfterAMissingOne)
{
    // The game ships its compiled scripts only inside a protected archive listed after a missing one.
    const fs::path source = CopyGame(m_root, "basic");
    ASSERT_EQ(Engine(m_root, "compile '" + source.string() + "'"), 0) << Stderr();
    m_root.Write("shipped/preferences.ini", "[archives]\n1=missing.pak\n2=data.pak\n");
    ASSERT_EQ(Status("cd '" + source.string() + "' && '" + VEL_ENGINE + "' pack " + Path("shipped/data.pak") +
                     " system.cvls settings.cvls script.cvls"),
              0);
    ASSERT_EQ(RunGame(m_root, m_root.Path() / "shipped", "--frames 1" + Snapshot(m_root, 1, "s.png")), 0) << Stderr();
    EXPECT_EQ(Number(m_root.Read("s.png"), 16, true), 320); // the size came from the archived system script
    EXPECT_THAT(m_root.Read("shipped/engine.log"), HasSubstr("missing.pak"));
}

TEST_F(EngineRunTest, ScriptErrorsAreReportedWithFileAndLineAndShownInTheErrorFont)
{
    // A run goes on after a script error, which goes to the trace, the log and the screen.
    const fs::path game = CopyGame(m_root, "error_screen");
    ASSERT_EQ(RunGame(m_root, game, "--frames 3 --trace " + Path("trace.txt") + Snapshot(m_root, 3, "error.bmp")), 0)
        << Stderr();
    EXPECT_THAT(m_root.Read("error_screen/engine.log"), HasSubstr("Info: Ending quote missed"));
    EXPECT_EQ(m_root.Read("trace.txt"), "0 error Script error\n") << "one error line, and the scenes are gone";

    ASSERT_EQ(Number(m_root.Read("error.bmp"), 18, false), 320);
    ExpectPixels(m_root, game / "expected" / "error.pixels");

    EXPECT_EQ(Engine(m_root, "check '" + game.string() + "'"), 1);
    EXPECT_THAT(Stderr(), HasSubstr("Script error\nFile: script.vls\nLine: 3\nInfo: Ending quote missed"));
    const fs::path good = CopyGame(m_root, "basic");
    EXPECT_EQ(Engine(m_root, "check '" + good.string() + "'"), 0) << Stderr();
    EXPECT_TRUE(fs::exists(good / "settings.cvls")); // check compiles as a run does

    // Without the font the report is only in the log, with the font named once.
    fs::remove(game / "font1.fnt");
    ASSERT_EQ(RunGame(m_root, game, "--frames 3" + Snapshot(m_root, 3, "plain.bmp")), 0) << Stderr();
    EXPECT_EQ(BmpPixel(m_root.Read("plain.bmp"), 24, 128), 0u);
    const std::string log = m_root.Read("error_screen/engine.log");
    EXPECT_EQ(Occurrences(log, "font1.fnt"), 1) << log;
}

} // namespace
