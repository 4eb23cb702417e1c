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

// Two playtesters, one to each side: together they leave only the scene no route reaches. A damaged file among
// them is named and nothing is merged.
TEST(CoverageRunTest, MergedFilesTellWhatNoRunReachedAndADamagedOneStopsTheMerge)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "coverage");
    for (const char* side : {"left", "right"}) {
        ASSERT_EQ(RunGame(root, game,
                          "--frames 80 --input '" + (game / "tools" / (std::string(side) + ".replay")).string() +
                              "' --coverage '" + root.File(std::string(side) + ".json") + "'"),
                  0)
            << root.Read("err.txt");
    }
    root.Write("damaged.json", R"({"version": 1, "files": [{"file": "script.vls", "statements": [0], "ran": []}]})");
    const auto merge = [&](const std::string& files) {
        return Status("'" + std::string(VEL_ENGINE) + "' explore --merge " + files + " --json '" +
                      root.File("merged.json") + "' >'" + root.File("out.txt") + "' 2>'" + root.File("err.txt") + "'");
    };

    EXPECT_EQ(merge("'" + root.File("left.json") + "' '" + root.File("right.json") + "'"), 0);
    EXPECT_EQ(root.Read("out.txt"), "2 coverage files: 8 of 9 statements ran\n"
                                    "Statements that no run reached (file: lines):\n  script.vls: 33\n"
                                    "Scenes that no run reached: never\n");
    EXPECT_TRUE(std::filesystem::exists(root.File("merged.json")));

    std::filesystem::remove(root.File("merged.json"));
    EXPECT_EQ(merge("'" + root.File("left.json") + "' '" + root.File("damaged.json") + "'"), 1);
    EXPECT_EQ(root.Read("err.txt"),
              "velloria explore: " + root.File("damaged.json") + ": \"statements\" holds the line 0\n");
    EXPECT_EQ(root.Read("out.txt"), "");
    EXPECT_FALSE(std::filesystem::exists(root.File("merged.json")));
}

} // namespace
