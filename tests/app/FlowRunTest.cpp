// End-to-end runs of stories: a picture faded in and moved, triggers set and tested (a persistent one across two
// runs), conditional jumps, and pauses that wait for a click. The engine runs headless on private copies of the
// test games.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using namespace Vel::TestTools;
using ::testing::HasSubstr;
using ::testing::Not;

TEST(FlowRunTest, StoryFadesMovesWaitsForAClickAndRemembersItsChapter)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "story");
    // The card fades in over frames 1-30 at (100, 80), then moves to (20, 40) over the next 30 frames.
    ASSERT_EQ(RunGame(root, game,
                      "--frames 100" + Replay(root, "80 click 160 120\n") + Snapshot(root, 15, "fading.bmp") +
                          Snapshot(root, 70, "moved.bmp")),
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
    // Each command a scene starts is traced with the scene, its index and its description.
    const std::string first = root.Read("trace.txt");
    EXPECT_THAT(first, HasSubstr(" scene intro\n"));
    ExpectInOrder(first, {" scene first\n", " scene again\n"});
    EXPECT_THAT(first, HasSubstr("\n60 command intro 2 Pause\n"));
    EXPECT_THAT(first, HasSubstr(" command first 0 Set trigger-chapter=two\n"));
    ASSERT_EQ(RunGame(root, game, "--frames 100" + Replay(root, "80 click 160 120\n")), 0);
    const std::string second = root.Read("trace.txt");
    EXPECT_THAT(second, HasSubstr(" scene again\n"));
    EXPECT_THAT(second, Not(HasSubstr(" scene first\n")));
}

TEST(FlowRunTest, ConditionalJumpFollowsTheTriggerAndThePauseWaitsForAClick)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "flow");
    ASSERT_EQ(RunGame(root, game, "--frames 40 --trace '" + root.File("trace.txt") + "'"), 0) << root.Read("err.txt");
    const std::string still = root.Read("trace.txt");
    EXPECT_THAT(still, HasSubstr(" scene b\n"));
    EXPECT_THAT(still, Not(HasSubstr("scene skipped")));
    EXPECT_THAT(still, Not(HasSubstr(" scene c\n"))) << "the pause ended without a click";
    EXPECT_THAT(still, Not(HasSubstr("error")));

    // A scene switch closes the click gate for 0.3 s (18 frames of 1/60 s); the click comes well after that.
    ASSERT_EQ(RunGame(root, game, "--frames 40" + Replay(root, "30 click 100 100\n")), 0) << root.Read("err.txt");
    ExpectInOrder(root.Read("trace.txt"), {" scene b\n", "\n31 scene c\n"});
}

} // namespace
