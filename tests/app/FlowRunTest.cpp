// End-to-end runs of stories: a picture faded in and moved, triggers set and tested (a persistent one across two
// runs), conditional jumps, and pauses that wait for a click. The engine runs headless on private copies of the
// test games; what the runs should leave is kept beside each game.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using namespace Vel::TestTools;

TEST(FlowRunTest, StoryFadesMovesWaitsForAClickAndRemembersItsChapter)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "story");
    const std::string replay = "--frames 100" + Replay(root, game / "tools" / "click.replay");
    // The card fades in over frames 1-30 at (100, 80), then moves to (20, 40) over the next 30 frames.
    ASSERT_EQ(RunGame(root, game, replay + Snapshot(root, 15, "fading.bmp") + Snapshot(root, 70, "moved.bmp")), 0)
        << root.Read("err.txt");
    const std::uint32_t fading = BmpPixel(root.Read("fading.bmp"), 110, 90);
    EXPECT_GT(fading >> 16, 0x40u) << std::hex << fading;
    EXPECT_LT(fading >> 16, 0xC0u) << std::hex << fading;
    EXPECT_EQ(fading & 0xFFFF, 0u) << std::hex << fading;
    ExpectPixels(root, game / "expected" / "moved.pixels");
    ExpectTrace(root, game / "expected" / "first.trace");
    ASSERT_EQ(RunGame(root, game, replay), 0);
    ExpectTrace(root, game / "expected" / "second.trace");
}

TEST(FlowRunTest, AFadeIsDrawnInEveryFrameAndAScreenWaitingForAClickInNone)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "story");
    RunReplay(root, game, 100, "idle");
    ExpectTrace(root, game / "expected" / "idle.trace");
}

TEST(FlowRunTest, ConditionalJumpFollowsTheTriggerAndThePauseWaitsForAClick)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "flow");
    ASSERT_EQ(RunGame(root, game, "--frames 40 --trace '" + root.File("trace.txt") + "'"), 0) << root.Read("err.txt");
    ExpectTrace(root, game / "expected" / "still.trace");
    RunReplay(root, game, 40, "click");
    ExpectTrace(root, game / "expected" / "clicked.trace");
}

} // namespace
