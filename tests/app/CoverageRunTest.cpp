// Story coverage as a playtester's run leaves it: after a replay, exactly the statements that ran (a speech over two
// lines counted at its first, the entry picked but not the other, a condition once) and the scenes that started.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace Vel::TestTools;

TEST(CoverageRunTest, AReplayListsExactlyTheStatementsThatRanAndTheScenesReached)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "coverage");
    ASSERT_EQ(RunGame(root, game,
                      "--frames 80 --input '" + (game / "tools" / "left.replay").string() + "' --coverage '" +
                          root.File("coverage.json") + "'"),
              0)
        << root.Read("err.txt");
    EXPECT_EQ(root.Read("coverage.json"), root.Read("coverage/expected/left.json"));

    // A file that cannot be written is no success.
    EXPECT_EQ(RunGame(root, game, "--frames 5 --coverage '" + root.File("none/coverage.json") + "'"), 1);
    EXPECT_EQ(root.Read("err.txt"), "velloria: cannot write the coverage file " + root.File("none/coverage.json") + "\n");
}

} // namespace
