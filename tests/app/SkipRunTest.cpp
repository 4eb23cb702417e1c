// End-to-end runs of skip, read marks and auto-forward over one short story: auto-forward reads it through with its
// delays and the voice, skip goes through what that run read and stops at what it did not, at the choice and at other
// input, Ctrl held skips on past its stops, and a damaged read.dfn counts as nothing read.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace Vel::TestTools;

const std::filesystem::path kData = std::filesystem::path(VEL_TEST_GAMES) / "skip";

// A fresh copy of the game with its voice, in a fresh user folder.
std::filesystem::path FreshGame(const TempFolder& root)
{
    const std::filesystem::path game = CopyGame(root, "skip");
    EXPECT_TRUE(WriteTone((game / "voice.wav").string(), 1.0, 440.0, 0.5));
    return game;
}

TEST(SkipRunTest, EachRunSkipsOrForwardsAsItsReplayExpects)
{
    const std::vector<std::string> runs = DataLines(kData / "expected/runs.txt");
    ASSERT_EQ(runs.size(), 9u);
    std::unique_ptr<TempFolder> root;
    std::filesystem::path game;
    for (const std::string& line : runs) {
        SCOPED_TRACE(line);
        std::istringstream fields(line);
        std::string name;
        int frames = 0;
        fields >> name >> frames;
        if (name[0] == '+') {
            name.erase(0, 1);
        } else {
            root = std::make_unique<TempFolder>();
            game = FreshGame(*root);
        }
        const std::string audio = " --audio-out '" + root->File("out.wav") + "'";
        ASSERT_EQ(
            RunGame(*root, game,
                    "--frames " + std::to_string(frames) + audio + Replay(*root, game / "tools" / (name + ".replay"))),
            0)
            << root->Read("err.txt");
        ExpectTrace(*root, kData / "expected" / (name + ".trace"));
        if (std::filesystem::exists(kData / "expected" / (name + ".levels")))
            ExpectLevels(ReadRendered(root->File("out.wav")), kData / "expected" / (name + ".levels"));
    }
}

TEST(SkipRunTest, DamagedReadMarksAreLoggedAndCountAsNothingRead)
{
    TempFolder root;
    const std::filesystem::path game = FreshGame(root);
    ASSERT_EQ(RunGame(root, game, "--frames 400" + Replay(root, game / "tools" / "auto.replay")), 0);
    const std::string marks = root.Read("user/read.dfn");
    ASSERT_GT(marks.size(), 12u);
    root.Write("user/read.dfn", marks.substr(0, marks.size() - 3));
    ASSERT_EQ(RunGame(root, game, "--frames 60" + Replay(root, game / "tools" / "unread.replay")), 0);
    ExpectTrace(root, kData / "expected" / "unread.trace");
    EXPECT_EQ(Occurrences(root.Read("skip/engine.log"), "read.dfn is damaged"), 1);
}

} // namespace
