// A new author's slips, end to end: "velloria check" warns of lines that do not do what they seem to, and a
// statement left open stops the game with a script error at the line it began, in the source the author wrote.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

using namespace Vel::TestTools;
using ::testing::HasSubstr;

TEST(ScriptFaultRunTest, CheckWarnsOfSlipsAndAnOpenStatementIsAScriptErrorAtItsFirstLine)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "sf_author");
    const std::string check = "check '" + game.string() + "'";
    EXPECT_EQ(Engine(root, check), 0);
    const std::string warnings = root.Read("err.txt");
    for (const std::string& warning : DataLines(game / "expected" / "check.warnings"))
        EXPECT_THAT(warnings, HasSubstr("warning: " + warning)) << warnings;
    EXPECT_EQ(Engine(root, check + " --strict"), 1);

    // Added after the script's 16 lines, the open statement is on line 18.
    std::ofstream(game / "script.vls", std::ios::app)
        << "beginscene(later)\ncharacter(elin, opacity=0:100:500\nend\n\nbeginscene(never)\nend\n";
    const std::string report =
        "Script error\nFile: script.vls\nLine: 18\nInfo: Statement not closed: character has more '(' than ')'";
    ASSERT_EQ(RunGame(root, game, "--frames 3 --trace '" + root.File("trace.txt") + "'"), 0) << root.Read("err.txt");
    EXPECT_THAT(root.Read("trace.txt"), HasSubstr("0 error Script error\n"));
    EXPECT_THAT(root.Read("sf_author/engine.log"), HasSubstr(report));
    EXPECT_EQ(Engine(root, check), 1);
    EXPECT_THAT(root.Read("err.txt"), HasSubstr(report));
}

} // namespace
