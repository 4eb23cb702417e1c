// End-to-end runs of the history screen over a short story: the wheel and Page Up open it at the newest lines with
// their names, a click on a voiced line plays its voice again, the wheel at the newest line, Escape and the right
// button close it without the story going on, a load brings back the history of its save (a save from before saves
// kept it, none), and the "history" statement gives the screen its own look.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace Vel::TestTools;

TEST(HistoryRunTest, EachRunOpensScrollsPlaysAndClosesTheHistoryAsItsReplayExpects)
{
    const std::filesystem::path data = std::filesystem::path(VEL_TEST_GAMES) / "history";
    const std::vector<std::string> runs = DataLines(data / "expected/runs.txt");
    ASSERT_EQ(runs.size(), 7u);
    for (const std::string& line : runs) {
        SCOPED_TRACE(line);
        TempFolder root;
        std::istringstream fields(line);
        std::string name;
        int frames = 0;
        fields >> name >> frames;
        std::string options = "--frames " + std::to_string(frames) + " --audio-out '" + root.File("out.wav") + "'";
        for (int frame = 0; fields >> frame;)
            options += Snapshot(root, frame, name + "-" + std::to_string(frame) + ".bmp");
        const std::filesystem::path game = CopyGame(root, "history");
        ASSERT_TRUE(WriteTone((game / "hello.wav").string(), 0.5, 440.0, 0.5));
        if (std::filesystem::exists(game / "tools" / (name + ".vls")))
            root.Write("history/script.vls",
                       root.Read("history/script.vls") + root.Read("history/tools/" + name + ".vls"));
        if (std::filesystem::exists(game / "tools" / (name + ".sav")))
            root.Write("user/save/quick.sav", root.Read("history/tools/" + name + ".sav"));
        ASSERT_EQ(RunGame(root, game, options + Replay(root, game / "tools" / (name + ".replay"))), 0)
            << root.Read("err.txt");
        const std::filesystem::path expected = data / "expected" / name;
        ExpectTrace(root, expected.string() + ".trace");
        if (std::filesystem::exists(expected.string() + ".pixels"))
            ExpectPixels(root, expected.string() + ".pixels");
        if (std::filesystem::exists(expected.string() + ".levels"))
            ExpectLevels(ReadRendered(root.File("out.wav")), expected.string() + ".levels");
    }
}

} // namespace
