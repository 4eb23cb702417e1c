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
using ::testing::Not;

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

TEST_F(EngineRunTest, ScreenshotsAndSnapshotsHaveTheGameSize)
{
    const fs::path game = CopyGame(m_root, "basic");
    const std::string input = "# two screenshots, one plain S\n2 key alt+s\n3 key s\n4 key alt+s\n";
    ASSERT_EQ(
        RunGame(m_root, game,
                "--frames 5" + Replay(m_root, input) + Snapshot(m_root, 2, "a.png") + Snapshot(m_root, 3, "b.bmp")),
        0)
        << Stderr();
    const fs::path shots = m_root.Path() / "user" / "screenshots";
    EXPECT_TRUE(fs::exists(shots / "00000002.bmp"));
    EXPECT_FALSE(fs::exists(shots / "00000003.bmp"));
    EXPECT_TRUE(fs::is_directory(m_root.Path() / "user" / "save"));
    const std::string trace = m_root.Read("trace.txt");
    EXPECT_THAT(trace, HasSubstr("2 screenshot " + (shots / "00000001.bmp").string()));
    EXPECT_THAT(trace, HasSubstr("4 screenshot " + (shots / "00000002.bmp").string()));

    // Screenshots are BMPs of the window, which is the game size; rows may run either way.
    const std::string bmp = m_root.Read("user/screenshots/00000001.bmp");
    ASSERT_GT(bmp.size(), 26u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(Number(bmp, 18, false), 320);
    EXPECT_EQ(std::abs(Number(bmp, 22, false)), 240);
    const std::string png = m_root.Read("a.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(Number(png, 16, true), 320);
    EXPECT_EQ(Number(png, 20, true), 240);
    EXPECT_EQ(m_root.Read("b.bmp").substr(0, 2), "BM");
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
    EXPECT_EQ(RunGame(m_root, game, "--frames 5" + Replay(m_root, "1 move 10 10\n# fine so far\n3 key alt+banana\n")),
              2);
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
    using namespace std::string_literals;
    const fs::path game = CopyGame(m_root, "basic");
    std::ofstream(game / "system.vls", std::ios::app) << "sys_trigger(seen)\n";
    ASSERT_EQ(RunGame(m_root, game, "--frames 1"), 0) << Stderr();
    const std::string seen = "\x08\0\0\0s\0e\0e\0n\0"s
                             "\1\0\0\0"s;
    EXPECT_EQ(m_root.Read("user/sys0.dfn"), "\1\0\0\0"s + seen + "\0\0\0\0"s);

    // What the player earned (here written by hand, as play would) comes back at the next start and is written
    // out again, with a value of another game that shares the folder.
    const std::string cg = "\x04\0\0\0c\0g\0"s
                           "\2\0\0\0"s
                           "\2\0\0\0001\0"s;
    const std::string earned = "\2\0\0\0"s + cg + seen + "\6\0\0\0y\0e\0s\0"s;
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
    ASSERT_EQ(
        RunGame(m_root, game,
                "--desktop 1920x1080 --frames 2" + Snapshot(m_root, 2, "wide.png") + Snapshot(m_root, 2, "wide.bmp")),
        0)
        << Stderr();
    const std::string png = m_root.Read("wide.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(Number(png, 16, true), 1920) << "full screen opens at the desktop size";
    EXPECT_EQ(Number(png, 20, true), 1080);

    const std::string bmp = m_root.Read("wide.bmp");
    ASSERT_EQ(Number(bmp, 18, false), 1920);
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

TEST_F(EngineRunTest, ScenesChainInDefinitionOrderFromTheStartScene)
{
    ASSERT_EQ(RunGame(m_root, CopyGame(m_root, "two_scenes"), "--frames 3 --trace " + Path("trace.txt")), 0)
        << Stderr();
    const std::string trace = m_root.Read("trace.txt");
    ExpectInOrder(trace, {"0 scene a\n", " scene b\n"});
    EXPECT_THAT(trace, Not(HasSubstr("error")));
}

TEST_F(EngineRunTest, ScriptErrorsAreReportedWithFileAndLineAndShownInTheErrorFont)
{
    // A run goes on after a script error, which goes to the trace, the log and the screen.
    const fs::path game = CopyGame(m_root, "error_screen");
    ASSERT_EQ(RunGame(m_root, game, "--frames 3 --trace " + Path("trace.txt") + Snapshot(m_root, 3, "error.bmp")), 0)
        << Stderr();
    EXPECT_THAT(m_root.Read("error_screen/engine.log"), HasSubstr("Info: Ending quote missed"));
    const std::string trace = m_root.Read("trace.txt");
    const std::size_t error = trace.find("0 error Script error");
    ASSERT_NE(error, std::string::npos) << trace;
    EXPECT_EQ(trace.find(" error ", error + 2), std::string::npos) << "one error line: " << trace;
    EXPECT_THAT(trace, Not(HasSubstr("scene a"))) << "the scenes are gone";

    // The first line, "Script error", starts at (20, 120) in letters 16 pixels high; then "File: script.vls",
    // "Line: 3" and the "Info: ..." line, one letter height apart: the file line is longer than the line-number line.
    const std::string bmp = m_root.Read("error.bmp");
    ASSERT_EQ(Number(bmp, 18, false), 320);
    for (const auto& [x, y] : {std::pair{24, 128}, {60, 128}, {24, 144}, {24, 160}, {24, 176}, {150, 144}})
        EXPECT_NE(BmpPixel(bmp, x, y), 0u) << x << ", " << y;
    for (const auto& [x, y] : {std::pair{10, 128}, {160, 40}, {150, 160}})
        EXPECT_EQ(BmpPixel(bmp, x, y), 0u) << x << ", " << y;

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
    const std::size_t missing = log.find("font1.fnt");
    ASSERT_NE(missing, std::string::npos) << log;
    EXPECT_EQ(log.find("font1.fnt", missing + 1), std::string::npos) << log;
}

} // namespace
