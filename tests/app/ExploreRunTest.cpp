// velloria explore plays every route of a small game: from "start" two choices of two entries give four routes to
// their endings; from "trouble" a goto to a missing scene, a cycling animation placed with wait, the last scene
// running out and a scene going round for ever are dead ends with their place and route, a choice and a menu that
// lead back to themselves are one loop each, a menu's command and "back" buttons are followed and its "save" is not,
// and a scene waiting on its button is told apart. The limits cut the search and say so; the bundled demo finds its
// two endings, with the gallery pictures each unlocks, and nothing wrong.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

using namespace Vel::TestTools;
using ::testing::HasSubstr;

int Explore(const TempFolder& root, const std::filesystem::path& game, const std::string& options)
{
    // A home of its own: explore must leave the player's folders alone.
    return Status("HOME='" + root.File("home") + "' '" + VEL_ENGINE + "' explore '" + game.string() + "' " + options +
                  " >'" + root.File("out.txt") + "' 2>'" + root.File("err.txt") + "'");
}

TEST(ExploreRunTest, ReportsTheRoutesDeadEndsLoopsAndLimitsOfEachStart)
{
    struct Row
    {
        const char* options;
        int status;
        const char* expected; // the whole report, in expected/
    };
    const Row rows[] = {
        {"--scene start --json '{root}/start.json'", 0, "start.txt"},
        {"--scene trouble", 1, "trouble.txt"},
        {"--max-states 1", 0, "states.txt"},
        {"--seconds 0.000001", 0, "seconds.txt"},
    };
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "explore");
    for (const Row& row : rows) {
        std::string options = row.options;
        if (const auto at = options.find("{root}"); at != std::string::npos)
            options.replace(at, 6, root.Path().string());
        EXPECT_EQ(Explore(root, game, options), row.status) << row.options << root.Read("err.txt");
        EXPECT_EQ(root.Read("out.txt"), root.Read(std::string("explore/expected/") + row.expected)) << row.options;
    }
    EXPECT_EQ(root.Read("start.json"), root.Read("explore/expected/start.json"));

    for (const char* wrong : {"--max-states 0", "--seconds x", "--json", "--scene nowhere"})
        EXPECT_EQ(Explore(root, game, wrong), 2) << wrong;
}

TEST(ExploreRunTest, TheDemoHasTwoEndingsAndNoDeadEnd)
{
    TempFolder root;
    const std::filesystem::path game = CopyDemo(root);
    ASSERT_EQ(Explore(root, game, ""), 0) << root.Read("out.txt") << root.Read("err.txt");
    const std::string report = root.Read("out.txt");
    EXPECT_THAT(report, HasSubstr("2 routes, 0 dead ends, 0 script errors, 0 missing files"));
    EXPECT_THAT(report,
                HasSubstr("routes:\n"
                          "  1. main menu at story.vls:10 (scene title): New game > Go down to the lake\n"
                          "     sets cg_lake=1\n     sets cg_meadow=1\n     sets finished=yes\n"
                          "  2. main menu at story.vls:10 (scene title): New game > Stay on the meadow until "
                          "night falls\n     sets cg_meadow=1\n     sets cg_night=1\n     sets finished=yes\n"));
    EXPECT_FALSE(std::filesystem::exists(root.File("home/Documents")));
}

} // namespace
