// End-to-end runs of the player's keys and wheel over a story: each advancing key and the wheel end a speech and a
// pause without pressing the button under the mouse, a held key repeats as the held left button does, H and the
// middle button hide the boxes and choices until the next key or click, and F11 and Alt+Enter switch the screen mode.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace Vel::TestTools;

TEST(KeysRunTest, EachRowOfTheControlsActsOnTheStoryAsItsReplayExpects)
{
    const std::filesystem::path data = std::filesystem::path(VEL_TEST_GAMES) / "keys";
    const std::vector<std::string> runs = DataLines(data / "expected/runs.txt");
    ASSERT_EQ(runs.size(), 16u);
    for (const std::string& line : runs) {
        SCOPED_TRACE(line);
        TempFolder root;
        std::string name;
        const std::string options = RunRowOptions(root, line, name);
        const std::filesystem::path game = CopyGame(root, "keys");
        ASSERT_EQ(RunGame(root, game, options + Replay(root, game / "tools" / (name + ".replay"))), 0)
            << root.Read("err.txt");
        ExpectRun(root, data / "expected", name);
    }
}

// The window's size outlives the run: the next start opens at the size the player left it.
TEST(KeysRunTest, AResizedWindowOpensAtThatSizeNextTime)
{
    const std::filesystem::path data = std::filesystem::path(VEL_TEST_GAMES) / "keys";
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "keys");
    RunReplay(root, game, 30, "resize");
    EXPECT_NE(root.Read("user/settings.ini").find("windowsize=640x360\n"), std::string::npos);
    ASSERT_EQ(RunGame(root, game, "--frames 3" + Snapshot(root, 2, "again-2.bmp")), 0) << root.Read("err.txt");
    ExpectPixels(root, data / "expected" / "again.pixels");
}

// The controller's Start and B open and close the menu over the story as Escape and the right button do.
TEST(KeysRunTest, ControllerStartAndBOpenAndCloseThePauseMenu)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "saves");
    RunReplay(root, game, 140, "pad");
    ExpectTrace(root, game / "expected" / "pad.trace");
}

} // namespace
