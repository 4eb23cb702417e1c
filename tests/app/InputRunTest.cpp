// End-to-end run of the player's input: the title's picture shows under its main menu; taps without a resting mouse
// press menu buttons; Escape goes back from the options menu and from the right-click menu but leaves the main menu
// alone; one click ends one thing (a speech, then the pause after it; a choice, then what follows it across a jump:
// another choice, a text, a speech, the same choice again); and the save notice fades over a game that goes on.
#include "RunTools.h"

#include <gtest/gtest.h>

namespace {

using namespace Vel::TestTools;

TEST(InputRunTest, TapsEscapeAndClicksEachActOnceAndTheSaveNoticeHoldsNothing)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "in_input");
    ASSERT_EQ(RunGame(root, game,
                      "--frames 400" + Replay(root, game / "tools/taps.replay") + Snapshot(root, 10, "title.bmp") +
                          Snapshot(root, 300, "notice.bmp")),
              0)
        << root.Read("err.txt");
    ExpectTrace(root, game / "expected/taps.trace");
    ExpectPixels(root, game / "expected/taps.pixels");
}

} // namespace
