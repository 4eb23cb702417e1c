// End-to-end runs of stories: a picture faded in and moved, triggers set and tested (a persistent one across two
// runs), conditional jumps, and pauses that wait for a click. The engine runs headless on a private copy of tests/games/flow (a run compiles the scripts in place).
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The colour (0xRRGGBB) of a pixel of the engine's 24-bit bottom-up BMP snapshot.
std::uint32_t BmpPixel(const std::string& bmp, int x, int y)
{
    const auto number = [&](std::size_t at) {
        return static_cast<std::int32_t>(static_cast<unsigned char>(bmp.at(at)) |
                                         static_cast<unsigned char>(bmp.at(at + 1)) << 8 |
                                         static_cast<unsigned char>(bmp.at(at + 2)) << 16 |
                                         static_cast<std::uint32_t>(static_cast<unsigned char>(bmp.at(at + 3))) << 24);
    };
    const std::int32_t width = number(18), height = number(22);
    const std::size_t row = height > 0 ? static_cast<std::size_t>(height - 1 - y) : static_cast<std::size_t>(y);
    const std::size_t at = static_cast<std::size_t>(number(10)) + row * ((width * 3 + 3) / 4 * 4) + x * 3;
    return static_cast<unsigned char>(bmp.at(at + 2)) << 16 | static_cast<unsigned char>(bmp.at(at + 1)) << 8 |
           static_cast<unsigned char>(bmp.at(at));
}

// A headless run of a private copy of a test game; returns the exit status, stderr goes to err.txt.
int RunGame(const Vel::TestTools::TempFolder& root, const std::filesystem::path& game, const std::string& options)
{
    const std::string command = std::string("'") + VEL_ENGINE + "' '" + game.string() + "' --headless --user-dir '" +
                                root.File("user") + "' " + options + " 2>'" + root.File("err.txt") + "' >/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(FlowRunTest, StoryFadesMovesWaitsForAClickAndRemembersItsChapter)
{
    Vel::TestTools::TempFolder root;
    const std::filesystem::path game = root.Path() / "story";
    std::filesystem::copy(std::filesystem::path(VEL_TEST_GAMES) / "story", game,
                          std::filesystem::copy_options::recursive);
    root.Write("input.txt", "80 click 160 120\n");
    // The card fades in over frames 1-30 at (100, 80), then moves to (20, 40) over the next 30 frames.
    ASSERT_EQ(RunGame(root, game,
                      "--frames 100 --input '" + root.File("input.txt") + "' --trace '" + root.File("first.txt") +
                          "' --snapshot '15:" + root.File("fading.bmp") + "' --snapshot '70:" +
                          root.File("moved.bmp") + "'"),
              0)
        << root.Read("err.txt");
    const std::uint32_t fading = BmpPixel(root.Read("fading.bmp"), 110, 90);
    EXPECT_GT(fading >> 16, 0x40u) << std::hex << fading;
    EXPECT_LT(fading >> 16, 0xC0u) << std::hex << fading;
    EXPECT_EQ(fading & 0xFFFF, 0u) << std::hex << fading;
    const std::string moved = root.Read("moved.bmp");
    EXPECT_EQ(BmpPixel(moved, 30, 50), 0xFF0000u);
    EXPECT_EQ(BmpPixel(moved, 110, 90), 0u);

    // The first run takes the branch for a new player and sets the persistent chapter; the second remembers it.
    const std::string first = root.Read("first.txt");
    const std::size_t intro = first.find(" scene intro\n"), chapter = first.find(" scene first\n");
    ASSERT_NE(intro, std::string::npos) << first;
    ASSERT_NE(chapter, std::string::npos) << first;
    EXPECT_NE(first.find(" scene again\n", chapter), std::string::npos) << first;
    // Each command a scene starts is traced with the scene, its index and its description.
    EXPECT_NE(first.find("\n60 command intro 2 Pause\n"), std::string::npos) << first;
    EXPECT_NE(first.find(" command first 0 Set trigger-chapter=two\n"), std::string::npos) << first;
    ASSERT_EQ(RunGame(root, game,
                      "--frames 100 --input '" + root.File("input.txt") + "' --trace '" + root.File("second.txt") + "'"),
              0);
    const std::string second = root.Read("second.txt");
    EXPECT_NE(second.find(" scene again\n"), std::string::npos) << second;
    EXPECT_EQ(second.find(" scene first\n"), std::string::npos) << second;
}

TEST(FlowRunTest, ConditionalJumpFollowsTheTriggerAndThePauseWaitsForAClick)
{
    Vel::TestTools::TempFolder root;
    const std::filesystem::path game = root.Path() / "flow";
    std::filesystem::copy(std::filesystem::path(VEL_TEST_GAMES) / "flow", game,
                          std::filesystem::copy_options::recursive);
    const auto run = [&](const std::string& trace, const std::string& options) {
        return RunGame(root, game, "--frames 40 --trace '" + root.File(trace) + "' " + options);
    };
    ASSERT_EQ(run("still.txt", ""), 0) << root.Read("err.txt");
    const std::string still = root.Read("still.txt");
    EXPECT_NE(still.find(" scene b\n"), std::string::npos) << still;
    EXPECT_EQ(still.find("scene skipped"), std::string::npos) << still;
    EXPECT_EQ(still.find(" scene c\n"), std::string::npos) << "the pause ended without a click: " << still;
    EXPECT_EQ(still.find("error"), std::string::npos) << still;

    // A scene switch closes the click gate for 0.3 s (18 frames of 1/60 s); the click comes well after that.
    root.Write("input.txt", "30 click 100 100\n");
    ASSERT_EQ(run("clicked.txt", "--input '" + root.File("input.txt") + "'"), 0) << root.Read("err.txt");
    const std::string clicked = root.Read("clicked.txt");
    const std::size_t b = clicked.find(" scene b\n");
    ASSERT_NE(b, std::string::npos) << clicked;
    EXPECT_NE(clicked.find("\n31 scene c\n", b), std::string::npos) << "one frame after the click: " << clicked;
}

} // namespace
