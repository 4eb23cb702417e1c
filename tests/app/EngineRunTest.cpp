// End-to-end runs of the engine program on the small games under tests/games, headless.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

std::uint32_t ReadLe32(const std::string& data, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(data.at(offset + i));
    return value;
}

std::uint32_t ReadBe32(const std::string& data, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value = (value << 8) | static_cast<unsigned char>(data.at(offset + i));
    return value;
}

class EngineRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_root = fs::temp_directory_path() / ("vel_run_" + std::to_string(getpid()) + "_" + info->name());
        fs::remove_all(m_root);
        fs::create_directories(m_root);
    }
    void TearDown() override { fs::remove_all(m_root); }

    // A private copy, because a run compiles the scripts into the game folder.
    fs::path CopyGame(const std::string& name)
    {
        const fs::path target = m_root / name;
        fs::copy(fs::path(VEL_TEST_GAMES) / name, target, fs::copy_options::recursive);
        return target;
    }

    void WriteText(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

    // Runs the engine with the arguments (already quoted where needed); returns its exit status.
    int Engine(const std::string& arguments)
    {
        const std::string command = std::string("'") + VEL_ENGINE + "' " + arguments + " >'" +
                                    (m_root / "out.txt").string() + "' 2>'" + (m_root / "err.txt").string() + "'";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Stderr() { return ReadFile(m_root / "err.txt"); }

    fs::path m_root;
};

TEST_F(EngineRunTest, AltSWritesNumberedScreenshotsAndTracesThem)
{
    const fs::path game = CopyGame("basic");
    const fs::path user = m_root / "user";
    WriteText(m_root / "input.txt", "# two screenshots, one plain S\n2 key alt+s\n3 key s\n4 key alt+s\n");
    ASSERT_EQ(Engine("'" + game.string() + "' --headless --frames 5 --input '" + (m_root / "input.txt").string() +
                     "' --user-dir '" + user.string() + "' --trace '" + (m_root / "trace.txt").string() + "'"),
              0)
        << Stderr();
    const fs::path shots = user / "screenshots";
    EXPECT_TRUE(fs::exists(shots / "00000001.bmp"));
    EXPECT_TRUE(fs::exists(shots / "00000002.bmp"));
    EXPECT_FALSE(fs::exists(shots / "00000003.bmp"));
    EXPECT_TRUE(fs::is_directory(user / "save"));

    const std::string trace = ReadFile(m_root / "trace.txt");
    EXPECT_NE(trace.find("2 screenshot " + (shots / "00000001.bmp").string()), std::string::npos) << trace;
    EXPECT_NE(trace.find("4 screenshot " + (shots / "00000002.bmp").string()), std::string::npos) << trace;

    // The screenshot is a BMP of the window, which is the game size.
    const std::string bmp = ReadFile(shots / "00000001.bmp");
    ASSERT_GT(bmp.size(), 26u);
    EXPECT_EQ(bmp.substr(0, 2), "BM");
    EXPECT_EQ(ReadLe32(bmp, 18), 320u);
    EXPECT_EQ(static_cast<std::int32_t>(ReadLe32(bmp, 22)) < 0 ? -static_cast<std::int32_t>(ReadLe32(bmp, 22))
                                                               : static_cast<std::int32_t>(ReadLe32(bmp, 22)),
              240);
}

TEST_F(EngineRunTest, SnapshotsHaveTheGameSizeOrTheDesktopSize)
{
    const fs::path game = CopyGame("basic");
    ASSERT_EQ(Engine("'" + game.string() + "' --headless --frames 3 --snapshot '2:" + (m_root / "a.png").string() +
                     "' --snapshot '3:" + (m_root / "b.bmp").string() + "' --user-dir '" + (m_root / "u").string() +
                     "'"),
              0)
        << Stderr();
    const std::string png = ReadFile(m_root / "a.png");
    ASSERT_GT(png.size(), 24u);
    EXPECT_EQ(png.substr(1, 3), "PNG");
    EXPECT_EQ(ReadBe32(png, 16), 320u);
    EXPECT_EQ(ReadBe32(png, 20), 240u);
    EXPECT_EQ(ReadFile(m_root / "b.bmp").substr(0, 2), "BM");

    // Full screen opens at the desktop size.
    WriteText(game / "system.vls", "graphics_init(resolution=320:240, fullscreen=1)\n");
    ASSERT_EQ(Engine("'" + game.string() + "' --headless --desktop 1280x800 --frames 1 --snapshot '1:" +
                     (m_root / "c.png").string() + "' --user-dir '" + (m_root / "u").string() + "'"),
              0)
        << Stderr();
    const std::string wide = ReadFile(m_root / "c.png");
    ASSERT_GT(wide.size(), 24u);
    EXPECT_EQ(ReadBe32(wide, 16), 1280u);
    EXPECT_EQ(ReadBe32(wide, 20), 800u);
}

TEST_F(EngineRunTest, CheckReportsScriptErrorsWithFileAndLine)
{
    const fs::path broken = CopyGame("unclosed_quote");
    EXPECT_EQ(Engine("check '" + broken.string() + "'"), 1);
    const std::string report = Stderr();
    EXPECT_NE(report.find("Script error\nFile: script.cvls\nLine: 3\nInfo: Ending quote missed"), std::string::npos)
        << report;

    const fs::path good = CopyGame("basic");
    EXPECT_EQ(Engine("check '" + good.string() + "'"), 0) << Stderr();
    EXPECT_TRUE(fs::exists(good / "settings.cvls")); // check compiles as a run does
}

TEST_F(EngineRunTest, ScriptErrorGoesToTheTraceAndTheLog)
{
    const fs::path broken = CopyGame("unclosed_quote");
    ASSERT_EQ(Engine("'" + broken.string() + "' --headless --frames 2 --user-dir '" + (m_root / "u").string() +
                     "' --trace '" + (m_root / "trace.txt").string() + "'"),
              0)
        << Stderr();
    EXPECT_NE(ReadFile(m_root / "trace.txt").find("0 error Script error"), std::string::npos);
    EXPECT_NE(ReadFile(broken / "engine.log").find("Info: Ending quote missed"), std::string::npos);
}

TEST_F(EngineRunTest, GamesThatCannotStartSayWhyAndFail)
{
    const fs::path noSize = CopyGame("no_resolution");
    EXPECT_NE(Engine("'" + noSize.string() + "' --headless --frames 1 --user-dir '" + (m_root / "u").string() + "'"),
              0);
    EXPECT_NE(Stderr().find("no resolution set by system.vls"), std::string::npos) << Stderr();
    EXPECT_NE(ReadFile(noSize / "engine.log").find("no resolution set by system.vls"), std::string::npos);

    const fs::path empty = m_root / "empty";
    fs::create_directories(empty);
    EXPECT_NE(Engine("'" + empty.string() + "' --headless --frames 1 --user-dir '" + (m_root / "u").string() + "'"),
              0);
    EXPECT_NE(Stderr().find(empty.string()), std::string::npos) << Stderr();

    EXPECT_NE(Engine("'" + (m_root / "absent").string() + "' --headless"), 0);
}

TEST_F(EngineRunTest, BadReplayInputStopsBeforeStarting)
{
    const fs::path game = CopyGame("basic");
    WriteText(m_root / "input.txt", "1 move 10 10\n# fine so far\n3 key alt+banana\n");
    EXPECT_EQ(Engine("'" + game.string() + "' --headless --frames 5 --input '" + (m_root / "input.txt").string() +
                     "' --user-dir '" + (m_root / "u").string() + "'"),
              2);
    EXPECT_NE(Stderr().find("line 3"), std::string::npos) << Stderr();
    EXPECT_FALSE(fs::exists(game / "system.cvls")); // nothing started

    EXPECT_EQ(Engine("--frames"), 2);
}

TEST_F(EngineRunTest, ScriptsFromAnArchiveAfterAMissingOne)
{
    // The game ships its compiled scripts only inside a protected archive listed after a missing one.
    const fs::path source = CopyGame("basic");
    ASSERT_EQ(Engine("compile '" + source.string() + "'"), 0) << Stderr();
    const fs::path game = m_root / "shipped";
    fs::create_directories(game);
    ASSERT_EQ(std::system(("cd '" + source.string() + "' && '" + VEL_ENGINE + "' pack '" +
                           (game / "data.pak").string() + "' system.cvls settings.cvls script.cvls")
                              .c_str()),
              0);
    WriteText(game / "preferences.ini", "[archives]\n1=missing.pak\n2=data.pak\n");
    ASSERT_EQ(Engine("'" + game.string() + "' --headless --frames 1 --snapshot '1:" + (m_root / "s.png").string() +
                     "' --user-dir '" + (m_root / "u").string() + "'"),
              0)
        << Stderr();
    EXPECT_EQ(ReadBe32(ReadFile(m_root / "s.png"), 16), 320u); // the size came from the archived system script
    EXPECT_NE(ReadFile(game / "engine.log").find("missing.pak"), std::string::npos);
}

} // namespace
