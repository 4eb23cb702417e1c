#include "script/ScriptLinter.h"

#include "ProcessRecordGuard.h"
#include "ScriptRun.h"
#include "app/GameSystems.h"
#include "core/HgeManager.h"
#include "scene/Command.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

// A case of lint.txt: its script's lines and the warnings expected.
struct Case
{
    std::string what;
    std::vector<std::u16string> lines;
    std::vector<std::string> warnings;
};

std::vector<Case> ReadCases()
{
    std::ifstream in(VEL_TEST_DATA "/lint.txt");
    std::vector<Case> cases;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("== "))
            cases.push_back({line.substr(3), {}, {}});
        else if (line.starts_with("> ") && !cases.empty())
            cases.back().warnings.push_back(line.substr(2));
        else if (!cases.empty())
            cases.back().lines.push_back(TextCodec::Utf8ToWide(line));
    }
    EXPECT_FALSE(cases.empty());
    return cases;
}

// A game folder with a picture, a bitmap font and a tune.
class ScriptLinterTest : public ::testing::Test
{
protected:
    ScriptLinterTest()
    {
        m_folder.Enter();
        m_folder.Write("bg.png", "picture");
        m_folder.Write("fonts/font1.fnt", "[HGEFONT]\n");
        m_folder.Write("tune.ogg", "tune");
    }

    // The warnings of the script read with a linter attached.
    std::vector<std::string> Lint(const std::vector<std::u16string>& lines)
    {
        GameSystems systems;
        ScriptLinter linter;
        ParseManager parser;
        parser.SetLinter(&linter);
        TestTools::WriteCompiled(u"game.cvls", lines);
        parser.Parse(u"game.cvls");
        EXPECT_EQ(TestTools::ErrorInfo(parser.ErrorReport()), "");
        return linter.Finish();
    }

    TestTools::ProcessRecordGuard m_records;
    TestTools::TempFolder m_folder;
    HgeManager m_hge{m_folder.File("engine.log")};
};

TEST_F(ScriptLinterTest, EachKindOfBrokenNameIsFoundAtItsLine)
{
    for (const Case& test : ReadCases()) {
        const bool named = test.what.starts_with("code page ");
        ASSERT_TRUE(TextCodec::SetCodePage(named ? test.what.substr(10, test.what.find(':') - 10) : "CP1252"));
        EXPECT_EQ(Lint(test.lines), test.warnings) << test.what;
    }
}

TEST_F(ScriptLinterTest, NamesReadOutsideAFileHaveNoPosition)
{
    GameSystems systems;
    ScriptLinter linter;
    {
        ParseManager parser;
        parser.SetLinter(&linter);
        EXPECT_NE(parser.ParseCommand(u"goto(away)"), nullptr);
    }
    EXPECT_EQ(linter.Finish(), std::vector<std::string>{"goto names 'away', which is no scene"});
}

} // namespace
} // namespace Vel
