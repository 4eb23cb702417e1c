// A new author's slips, end to end: "velloria check" warns of lines that do not do what they seem to, and a
// statement left open stops the game with a script error at the line it began, in the source the author wrote.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
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
    for (const char* warning :
         {"script.vls, line 10: 'character(' is read as more text of the speech above",
          "script.vls, line 12: unknown statement 'elin'; for elin to speak, remove the blank before '='",
          "script.vls, line 13: text has characters that the code page CP1252 cannot show, which appear as '?': "
          "\u041F, \u0440, \u0438, \u0432, \u0435, \u0442"})
        EXPECT_THAT(warnings, HasSubstr(std::string("warning: ") + warning)) << warnings;
    EXPECT_EQ(Engine(root, check + " --strict"), 1);

    std::string script = root.Read("sf_author/script.vls");
    const auto first = std::count(script.begin(), script.end(), '\n') + 1;
    root.Write("sf_author/script.vls",
               script + "beginscene(later)\ncharacter(elin, opacity=0:100:500\nend\n\nbeginscene(never)\nend\n");
    const std::string report = "Script error\nFile: script.vls\nLine: " + std::to_string(first + 1) +
                               "\nInfo: Statement not closed: character has more '(' than ')'";
    ASSERT_EQ(RunGame(root, game, "--frames 3 --trace '" + root.File("trace.txt") + "'"), 0) << root.Read("err.txt");
    EXPECT_THAT(root.Read("trace.txt"), HasSubstr("0 error Script error\n"));
    EXPECT_THAT(root.Read("sf_author/engine.log"), HasSubstr(report));
    EXPECT_EQ(Engine(root, check), 1);
    EXPECT_THAT(root.Read("err.txt"), HasSubstr(report));
}

} // namespace
