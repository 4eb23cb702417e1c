// End-to-end runs of stories: a picture faded in and moved, triggers set and tested (a persistent one across two
// runs), conditional jumps, and pauses that wait for a click. The engine runs headless on private copies of the
// test games.
#include "GameRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

using Vel::TestTools::BmpPixel;
using Vel::TestTools::CopyGame;
using Vel::TestTools::RunGame;

TEST(FlowRunTest, StoryFadesMovesWaitsForAClickAndRemembersItsChapter)
{
    Vel::TestTools::TempFolder root;
    const std::filesystem::path game = CopyGame(root, "story");
    root.Write("input.txt", "80 click 160 120\n");
    // The card fades in over frames 1-30 at (100, 80), then moves to (20, 40) over the next 30 frames.
    ASSERT_EQ(RunGame(root, game,
                      "--frames 100 --input '" + root.File("input.txt") + "' --trace '" + root.File("first.txt") +
                          "' --snapshot '15:" + root.File("fading.bmp") + "' --snapshot '70:" + root.File("moved.bmp") +
                          "'"),
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
    ASSERT_EQ(
        RunGame(root, game,
                "--frames 100 --input '" + root.File("input.txt") + "' --trace '" + root.File("second.txt") + "'"),
        0);
    const std::string second = root.Read("second.txt");
    EXPECT_NE(second.find(" scene again\n"), std::string::npos) << second;
    EXPECT_EQ(second.find(" scene first\n"), std::string::npos) << second;
}

TEST(FlowRunTest, ConditionalJumpFollowsTheTriggerAndThePauseWaitsForAClick)
{
    Vel::TestTools::TempFolder root;
    const std::filesystem::path game = CopyGame(root, "flow");
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
