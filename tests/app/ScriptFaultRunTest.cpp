// A new author's slips, end to end: "velloria check" warns of lines that do not do what they seem to (a statement
// inside a speech, a blank before '='), and a statement left open stops the game with a script error at the line it
// began, in the source the author wrote.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

using namespace Vel::TestTools;
using ::testing::HasSubstr;

// Both forms of the check's report, whole: the lines on stderr for editors and the JSON on stdout, with the same
// exit status; first the slips, then the open statement added after the script's 16 lines, on line 18.
TEST(ScriptFaultRunTest, CheckReportsSlipsAndAnOpenStatementInBothFormsAndTheGameStopsAtItsFirstLine)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "sf_author");
    const std::string check = "check '" + game.string() + "'";
    const auto json = [&] {
        return Status("'" + std::string(VEL_ENGINE) + "' " + check + " --json >'" + root.File("out.json") +
                      "' 2>/dev/null");
    };
    EXPECT_EQ(Engine(root, check), 0);
    EXPECT_EQ(root.Read("err.txt"), root.Read("sf_author/expected/check.txt"));
    EXPECT_EQ(json(), 0);
    EXPECT_EQ(root.Read("out.json"), root.Read("sf_author/expected/check.json"));
    EXPECT_EQ(Engine(root, check + " --strict"), 1);

    std::ofstream(game / "script.vls", std::ios::app)
        << "beginscene(later)\ncharacter(elin, opacity=0:100:500\nend\n\nbeginscene(never)\nend\n";
    EXPECT_EQ(Engine(root, check), 1);
    EXPECT_EQ(root.Read("err.txt"), root.Read("sf_author/expected/open.txt"));
    EXPECT_EQ(json(), 1);
    EXPECT_EQ(root.Read("out.json"), root.Read("sf_author/expected/open.json"));

    const std::string report =
        "Script error\nFile: script.vls\nLine: 18\nInfo: Statement not closed: character has more '(' than ')'";
    ASSERT_EQ(RunGame(root, game, "--frames 3 --trace '" + root.File("trace.txt") + "'"), 0) << root.Read("err.txt");
    EXPECT_THAT(root.Read("trace.txt"), HasSubstr("0 error Script error\n"));
    EXPECT_THAT(root.Read("sf_author/engine.log"), HasSubstr(report));
}

} // namespace
