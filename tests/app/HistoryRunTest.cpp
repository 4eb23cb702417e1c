// End-to-end runs of the history screen over a short story: the wheel and Page Up open it at the newest lines with
// their names, a click on a voiced line plays its voice again, the wheel at the newest line, Escape and the right
// button close it without the story going on, a load brings back the history of its save (a save from before saves
// kept it, none), and the "history" statement gives the screen its own look.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace Vel::TestTools;

TEST(HistoryRunTest, EachRunOpensScrollsPlaysAndClosesTheHistoryAsItsReplayExpects)
{
    const std::filesystem::path data = std::filesystem::path(VEL_TEST_GAMES) / "history";
    const std::vector<std::string> runs = DataLines(data / "expected/runs.txt");
    ASSERT_EQ(runs.size(), 8u);
    for (const std::string& line : runs) {
        SCOPED_TRACE(line);
        TempFolder root;
        std::string name;
        const std::string options = RunRowOptions(root, line, name) + " --audio-out '" + root.File("out.wav") + "'";
        const std::filesystem::path game = CopyGame(root, "history");
        ASSERT_TRUE(WriteTone((game / "hello.wav").string(), 0.5, 440.0, 0.5));
        if (std::filesystem::exists(game / "tools" / (name + ".vls")))
            root.Write("history/script.vls",
                       root.Read("history/script.vls") + root.Read("history/tools/" + name + ".vls"));
        if (std::filesystem::exists(game / "tools" / (name + ".sav")))
            root.Write("user/save/quick.sav", root.Read("history/tools/" + name + ".sav"));
        ASSERT_EQ(RunGame(root, game, options + Replay(root, game / "tools" / (name + ".replay"))), 0)
            << root.Read("err.txt");
        ExpectRun(root, data / "expected", name);
        if (const std::filesystem::path levels = data / "expected" / (name + ".levels");
            std::filesystem::exists(levels))
            ExpectLevels(ReadRendered(root.File("out.wav")), levels);
    }
}

} // namespace
