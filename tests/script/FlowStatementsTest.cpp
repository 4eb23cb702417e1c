#include "script/FlowStatements.h"

#include "ScriptFile.h"
#include "TempFolder.h"
#include "commands/EnableRightClickCommand.h"
#include "commands/GotoCommand.h"
#include "commands/IfThenElseCommand.h"
#include "commands/LaunchCommand.h"
#include "commands/SetDelayCommand.h"
#include "commands/SetTriggerCommand.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace Vel {
namespace {

class FlowStatementsTest : public ::testing::Test
{
protected:
    // Parses the lines with a fresh parser (the first error ends a parser's run); the error's "Info" part, empty
    // when it ran through.
    std::string Parse(std::initializer_list<std::u16string_view> lines)
    {
        const std::u16string name = TextCodec::Utf8ToWide(m_folder.File("flow" + std::to_string(++m_files) + ".cvls"));
        TestTools::WriteCompiled(name, lines);
        m_parser.reset();
        m_parser.emplace();
        m_parser->Parse(name);
        EXPECT_TRUE(m_parser->Blocks().empty());
        return TestTools::ErrorInfo(m_parser->ErrorReport());
    }

    // The scene's command at the index as the type the statement should have built; nullptr otherwise.
    template <typename T> T* CommandOf(const std::u16string& scene, std::size_t index)
    {
        const Scene* found = m_scenes.FindScene(scene);
        if (found == nullptr || index >= found->GetCommands().size())
            return nullptr;
        return dynamic_cast<T*>(found->GetCommands()[index]);
    }

    TestTools::TempFolder m_folder;
    int m_files = 0;
    TriggerManager m_triggers;
    ScenesManager m_scenes;
    std::optional<ParseManager> m_parser;
};

TEST_F(FlowStatementsTest, StatementsBuildTheirCommands)
{
    ASSERT_EQ(Parse({u"beginscene(s)", u"pause", u"delay(1500)", u"delay(250, wait=no)", u"goto(t)",
                     u"href(http://example.org/a b)", u"rightclick(no)", u"rightclick", u"rightclick(No)",
                     u"set(visited, yes)", u"end"}),
              "");
    ASSERT_NE(CommandOf<SetDelayCommand>(u"s", 0), nullptr);
    EXPECT_TRUE(CommandOf<SetDelayCommand>(u"s", 0)->IsPause());
    ASSERT_NE(CommandOf<SetDelayCommand>(u"s", 1), nullptr);
    EXPECT_FLOAT_EQ(CommandOf<SetDelayCommand>(u"s", 1)->GetDelay(), 1.5f);
    EXPECT_TRUE(CommandOf<SetDelayCommand>(u"s", 1)->GetWait());
    ASSERT_NE(CommandOf<SetDelayCommand>(u"s", 2), nullptr);
    EXPECT_FALSE(CommandOf<SetDelayCommand>(u"s", 2)->GetWait());
    ASSERT_NE(CommandOf<GotoCommand>(u"s", 3), nullptr);
    EXPECT_EQ(CommandOf<GotoCommand>(u"s", 3)->GetSceneName(), u"t");
    ASSERT_NE(CommandOf<LaunchCommand>(u"s", 4), nullptr);
    EXPECT_EQ(CommandOf<LaunchCommand>(u"s", 4)->GetTarget(), u"http://example.org/a b");
    ASSERT_NE(CommandOf<EnableRightClickCommand>(u"s", 5), nullptr);
    EXPECT_FALSE(CommandOf<EnableRightClickCommand>(u"s", 5)->IsEnabled());
    ASSERT_NE(CommandOf<EnableRightClickCommand>(u"s", 6), nullptr);
    EXPECT_TRUE(CommandOf<EnableRightClickCommand>(u"s", 6)->IsEnabled()) << "no argument enables";
    ASSERT_NE(CommandOf<EnableRightClickCommand>(u"s", 7), nullptr);
    EXPECT_TRUE(CommandOf<EnableRightClickCommand>(u"s", 7)->IsEnabled()) << "only the exact \"no\" disables";
    ASSERT_NE(CommandOf<SetTriggerCommand>(u"s", 8), nullptr);
    EXPECT_EQ(CommandOf<SetTriggerCommand>(u"s", 8)->GetDescription(), u"Set trigger-visited=yes");
}

TEST_F(FlowStatementsTest, ConditionalsSplitTheirConditionAndKeepEachBranchInItsSlot)
{
    ASSERT_EQ(Parse({u"beginscene(c)", u"if a=1 and b==2 then goto(s1) else set(x, y)", u"if a = 1 then goto(s2)",
                     u"if a=1 then  else goto(s3)", u"end"}),
              "");
    const IfThenElseCommand* both = CommandOf<IfThenElseCommand>(u"c", 0);
    ASSERT_NE(both, nullptr);
    EXPECT_EQ(both->GetCondition(), (IfThenElseCommand::Condition{{u"a", u"1"}, {u"b", u"2"}}));
    ASSERT_NE(dynamic_cast<GotoCommand*>(both->GetThen()), nullptr);
    EXPECT_EQ(dynamic_cast<GotoCommand*>(both->GetThen())->GetSceneName(), u"s1");
    EXPECT_NE(dynamic_cast<SetTriggerCommand*>(both->GetElse()), nullptr);

    const IfThenElseCommand* blanks = CommandOf<IfThenElseCommand>(u"c", 1);
    ASSERT_NE(blanks, nullptr);
    EXPECT_EQ(blanks->GetCondition(), (IfThenElseCommand::Condition{{u"a ", u" 1"}})) << "blanks around '=' stay";
    EXPECT_EQ(blanks->GetElse(), nullptr);

    const IfThenElseCommand* elseOnly = CommandOf<IfThenElseCommand>(u"c", 2);
    ASSERT_NE(elseOnly, nullptr);
    EXPECT_EQ(elseOnly->GetThen(), nullptr);
    EXPECT_NE(dynamic_cast<GotoCommand*>(elseOnly->GetElse()), nullptr);
    EXPECT_EQ(m_scenes.FindScene(u"c")->GetCommands().size(), 3u) << "branches are not added to the scene";
}

TEST_F(FlowStatementsTest, BadStatementsAreScriptErrors)
{
    for (const std::u16string_view statement :
         {u"pause", u"delay(10)", u"goto(x)", u"href(x)", u"rightclick(no)", u"set(a, b)", u"if a=1 then goto(x)"}) {
        const std::string name = TextCodec::WideToUtf8(statement.substr(0, statement.find_first_of(u"( ")));
        EXPECT_EQ(Parse({statement}), name + " needs an open scene, interface or menu block");
    }
    EXPECT_EQ(Parse({u"beginscene(e1)", u"if a then goto(x)"}), "if: the condition part 'a' has no '='");
    EXPECT_EQ(Parse({u"beginscene(e2)", u"if a=1 and b then goto(x)"}), "if: the condition part 'b' has no '='");
    EXPECT_NE(Parse({u"beginscene(e3)", u"delay()"}).find("bad lexical cast"), std::string::npos);
    EXPECT_NE(Parse({u"beginscene(e4)", u"if a=1 then delay(x)"}).find("bad lexical cast"), std::string::npos)
        << "a branch's error is the conditional's";
}

} // namespace
} // namespace Vel
