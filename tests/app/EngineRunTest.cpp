// End-to-end runs of the engine program on the small games under tests/games, headless.
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>

namespace fs = std::filesystem;

namespace {

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
    // A private copy, because a run compiles the scripts into the game folder.
    fs::path CopyGame(const std::string& name)
    {
        const fs::path target = m_root.Path() / name;
        fs::copy(fs::path(VEL_TEST_GAMES) / name, target, fs::copy_options::recursive);
        return target;
    }
    std::string Path(const std::string& name) { return "'" + m_root.File(name) + "'"; }

    // Runs the engine with the arguments (already quoted where needed); returns its exit status.
    int Engine(const std::string& arguments)
    {
        const std::string command =
            std::string("'") + VEL_ENGINE + "' " + arguments + " >" + Path("out.txt") + " 2>" + Path("err.txt");
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    // A headless run of the game with a user folder of its own.
    int Run(const fs::path& game, const std::string& options)
    {
        return Engine("'" + game.string() + "' --headless --user-dir " + Path("user") + " " + options);
    }
    std::string Stderr() { return m_root.Read("err.txt"); }

    Vel::TestTools::TempFolder m_root;
};

// The colour at (x, y) of a 24- or 32-bit BMP, whichever way its rows run; three zero bytes are black.
std::string PixelAt(const std::string& bmp, int x, int y)
{
    const int width = Number(bmp, 18, false);
    const int height = Number(bmp, 22, false);
    const int bytesPerPixel = static_cast<unsigned char>(bmp.at(28)) / 8;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bytesPerPixel + 3) / 4 * 4;
    const int row = height < 0 ? y : height - 1 - y;
    return bmp.substr(Number(bmp, 10, false) + row * rowBytes + x * bytesPerPixel, 3);
}

TEST_F(EngineRunTest, ScreenshotsAndSnapshotsHaveTheGameSize)
{
    const fs::path game = CopyGame("basic");
    m_root.Write("input.txt", "# two screenshots, one plain S\n2 key alt+s\n3 key s\n4 key alt+s\n");
    ASSERT_EQ(Run(game, "--frames 5 --input " + Path("input.txt") + " --trace " + Path("trace.txt") +
                            " --snapshot 2:" + Path("a.png") + " --snapshot 3:" + Path("b.bmp")),
              0)
        << Stderr();
    const fs::path shots = m_root.Path() / "user" / "screenshots";
    EXPECT_TRUE(fs::exists(shots / "00000002.bmp"));
    EXPECT_FALSE(fs::exists(shots / "00000003.bmp"));
    EXPECT_TRUE(fs::is_directory(m_root.Path() / "user" / "save"));
    const std::string trace = m_root.Read("trace.txt");
    EXPECT_NE(trace.find("2 screenshot " + (shots / "00000001.bmp").string()), std::string::npos) << trace;
    EXPECT_NE(trace.find("4 screenshot " + (shots / "00000002.bmp").string()), std::string::npos) << trace;

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

TEST_F(EngineRunTest, ScriptErrorsAreReportedWithFileAndLine)
{
    // A run goes on after a script error, which goes to the trace and the log.
    const fs::path broken = CopyGame("unclosed_quote");
    ASSERT_EQ(Run(broken, "--frames 2 --trace " + Path("trace.txt")), 0) << Stderr();
    EXPECT_NE(m_root.Read("trace.txt").find("0 error Script error"), std::string::npos);
    EXPECT_NE(m_root.Read("unclosed_quote/engine.log").find("Info: Ending quote missed"), std::string::npos);

    EXPECT_EQ(Engine("check '" + broken.string() + "'"), 1);
    EXPECT_NE(Stderr().find("Script error\nFile: script.cvls\nLine: 3\nInfo: Ending quote missed"), std::string::npos)
        << Stderr();
    const fs::path good = CopyGame("basic");
    EXPECT_EQ(Engine("check '" + good.string() + "'"), 0) << Stderr();
    EXPECT_TRUE(fs::exists(good / "settings.cvls")); // check compiles as a run does
}

TEST_F(EngineRunTest, GamesThatCannotStartOrBadInputSayWhyAndFail)
{
    const fs::path noSize = CopyGame("no_resolution");
    EXPECT_NE(Run(noSize, "--frames 1"), 0);
    EXPECT_NE(Stderr().find("no resolution set by system.vls"), std::string::npos) << Stderr();
    EXPECT_NE(m_root.Read("no_resolution/engine.log").find("no resolution set by system.vls"), std::string::npos);

    const fs::path empty = m_root.Path() / "empty";
    fs::create_directories(empty);
    EXPECT_NE(Run(empty, "--frames 1"), 0);
    EXPECT_NE(Stderr().find(empty.string()), std::string::npos) << Stderr();
    EXPECT_NE(Engine(Path("absent") + " --headless"), 0);


    // Bad replay input or a bad option stops the engine before the game starts.
    const fs::path game = CopyGame("basic");
    m_root.Write("input.txt", "1 move 10 10\n# fine so far\n3 key alt+banana\n");
    EXPECT_EQ(Run(game, "--frames 5 --input " + Path("input.txt")), 2);
    EXPECT_NE(Stderr().find("line 3"), std::string::npos) << Stderr();
    EXPECT_FALSE(fs::exists(game / "system.cvls"));
    EXPECT_EQ(Engine("--frames"), 2);

    // A window that cannot open is a failure with its cause, not a silent success.
    setenv("SDL_VIDEODRIVER", "none-such", 1);
    EXPECT_EQ(Engine("'" + game.string() + "' --frames 1 --user-dir " + Path("user")), 1);
    unsetenv("SDL_VIDEODRIVER");
    EXPECT_NE(Stderr().find("none-such"), std::string::npos) << Stderr();
    EXPECT_NE(m_root.Read("basic/engine.log").find("none-such"), std::string::npos);
}

TEST_F(EngineRunTest, PersistentTriggersLiveInTheUserFolderAcrossRuns)
{
    using namespace std::string_literals;
    const fs::path game = CopyGame("basic");
    std::ofstream(game / "system.vls", std::ios::app) << "sys_trigger(seen)\n";
    const fs::path values = m_root.Path() / "user" / "sys0.dfn";

    // A window that cannot open reads and writes nothing.
    setenv("SDL_VIDEODRIVER", "none-such", 1);
    EXPECT_EQ(Engine("'" + game.string() + "' --frames 1 --user-dir " + Path("user")), 1);
    unsetenv("SDL_VIDEODRIVER");
    EXPECT_FALSE(fs::exists(values));

    ASSERT_EQ(Run(game, "--frames 1"), 0) << Stderr();
    const std::string seen = "\x08\0\0\0s\0e\0e\0n\0"s "\1\0\0\0"s;
    EXPECT_EQ(m_root.Read("user/sys0.dfn"), "\1\0\0\0"s + seen + "\0\0\0\0"s);

    // What the player earned (here written by hand, as play would) comes back at the next start and is written
    // out again, with a value of another game that shares the folder.
    const std::string cg = "\x04\0\0\0c\0g\0"s "\2\0\0\0"s "\2\0\0\0001\0"s;
    const std::string earned = "\2\0\0\0"s + cg + seen + "\6\0\0\0y\0e\0s\0"s;
    m_root.Write("user/sys0.dfn", earned);
    ASSERT_EQ(Run(game, "--frames 1"), 0) << Stderr();
    EXPECT_EQ(m_root.Read("user/sys0.dfn"), earned);

    // Checking the scripts never touches the player's values; it knows only the user folder in the documents.
    const fs::path documents = m_root.Path() / "home" / "Documents" / "Velloria";
    fs::create_directories(documents);
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    setenv("HOME", (m_root.Path() / "home").c_str(), 1);
    EXPECT_EQ(Engine("check '" + game.string() + "'"), 0) << Stderr();
    setenv("HOME", home.c_str(), 1);
    EXPECT_FALSE(fs::exists(documents / "sys0.dfn"));
}

TEST_F(EngineRunTest, WidescreenFullScreenShowsTheGamePictureBetweenBars)
{
    // Nothing draws into the game picture yet, so picture and bars are both black: the run shows that the screen
    // sprites cover the whole desktop-sized screen (the pixel geometry is tested with the screen presenter).
    const fs::path game = CopyGame("basic");
    std::ofstream(game / "system.vls") << "graphics_init(resolution=800:600, fullscreen=1)\n";
    ASSERT_EQ(Run(game, "--desktop 1920x1080 --frames 2 --snapshot 2:" + Path("wide.png") + " --snapshot 2:" +
                            Path("wide.bmp")),
              0)
        << Stderr();
    const std::string png = m_root.Read("wide.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(Number(png, 16, true), 1920) << "full screen opens at the desktop size";
    EXPECT_EQ(Number(png, 20, true), 1080);

    const std::string bmp = m_root.Read("wide.bmp");
    ASSERT_GT(bmp.size(), 54u);
    ASSERT_EQ(Number(bmp, 18, false), 1920);
    for (int y : {10, 540, 1070}) {
        for (int x : {100, 239, 241, 960, 1678, 1681, 1900})
            EXPECT_EQ(PixelAt(bmp, x, y), std::string(3, '\0')) << x << ", " << y;
    }
}

TEST_F(EngineRunTest, ScriptsFromAnArchiveAfterAMissingOne)
{
    // The game ships its compiled scripts only inside a protected archive listed after a missing one.
    const fs::path source = CopyGame("basic");
    ASSERT_EQ(Engine("compile '" + source.string() + "'"), 0) << Stderr();
    m_root.Write("shipped/preferences.ini", "[archives]\n1=missing.pak\n2=data.pak\n");
    ASSERT_EQ(std::system(("cd '" + source.string() + "' && '" + VEL_ENGINE + "' pack " + Path("shipped/data.pak") +
                           " system.cvls settings.cvls script.cvls")
                              .c_str()),
              0);
    ASSERT_EQ(Run(m_root.Path() / "shipped", "--frames 1 --snapshot 1:" + Path("s.png")), 0) << Stderr();
    EXPECT_EQ(Number(m_root.Read("s.png"), 16, true), 320); // the size came from the archived system script
    EXPECT_NE(m_root.Read("shipped/engine.log").find("missing.pak"), std::string::npos);
}

TEST_F(EngineRunTest, ScenesChainInDefinitionOrderFromTheStartScene)
{
    const fs::path game = CopyGame("two_scenes");
    ASSERT_EQ(Run(game, "--frames 3 --trace " + Path("trace.txt")), 0) << Stderr();
    const std::string trace = m_root.Read("trace.txt");
    const std::size_t a = trace.find("0 scene a\n");
    ASSERT_NE(a, std::string::npos) << trace;
    EXPECT_NE(trace.find(" scene b\n", a), std::string::npos) << trace;
    EXPECT_EQ(trace.find("error"), std::string::npos) << trace;
}

TEST_F(EngineRunTest, ScriptErrorsShowTheReportInTheErrorFont)
{
    const fs::path game = CopyGame("error_screen");
    ASSERT_EQ(Run(game, "--frames 3 --trace " + Path("trace.txt") + " --snapshot 3:" + Path("error.bmp")), 0)
        << Stderr();
    const std::string trace = m_root.Read("trace.txt");
    const std::size_t error = trace.find("error Script error");
    ASSERT_NE(error, std::string::npos) << trace;
    EXPECT_EQ(trace.find(" error ", error + 1), std::string::npos) << "one error line: " << trace;
    EXPECT_EQ(trace.find("scene a"), std::string::npos) << "the scenes are gone: " << trace;

    // The first line, "Script error", starts at (20, 120) in letters 16 pixels high.
    const std::string bmp = m_root.Read("error.bmp");
    ASSERT_GT(bmp.size(), 54u);
    ASSERT_EQ(Number(bmp, 18, false), 320);
    const std::string black(3, '\0');
    EXPECT_NE(PixelAt(bmp, 24, 128), black);
    EXPECT_NE(PixelAt(bmp, 60, 128), black);
    EXPECT_EQ(PixelAt(bmp, 10, 128), black);
    EXPECT_EQ(PixelAt(bmp, 160, 40), black);
    // Then "File: script.cvls", "Line: 3" and the "Info: ..." line, one letter height apart: the file line is
    // longer than the line-number line.
    for (const int y : {144, 160, 176})
        EXPECT_NE(PixelAt(bmp, 24, y), black) << y;
    EXPECT_NE(PixelAt(bmp, 150, 144), black);
    EXPECT_EQ(PixelAt(bmp, 150, 160), black);

    // Without the font the report is only in the log, with the font named once.
    fs::remove(game / "font1.fnt");
    ASSERT_EQ(Run(game, "--frames 3 --snapshot 3:" + Path("plain.bmp")), 0) << Stderr();
    EXPECT_EQ(PixelAt(m_root.Read("plain.bmp"), 24, 128), black);
    const std::string log = m_root.Read("error_screen/engine.log");
    const std::size_t missing = log.find("font1.fnt");
    ASSERT_NE(missing, std::string::npos) << log;
    EXPECT_EQ(log.find("font1.fnt", missing + 1), std::string::npos) << log;
}

} // namespace
