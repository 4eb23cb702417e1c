#include "ScriptRun.h"
#include "commands/EnableRightClickCommand.h"
#include "commands/GotoCommand.h"
#include "commands/IfThenElseCommand.h"
#include "commands/LaunchCommand.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

namespace Vel {
namespace {

// The command as text: its type with what the statement put into it.
std::u16string Describe(const Command* command)
{
    if (command == nullptr)
        return u"none";
    if (const auto* jump = dynamic_cast<const GotoCommand*>(command))
        return u"goto " + jump->GetSceneName();
    if (const auto* launch = dynamic_cast<const LaunchCommand*>(command))
        return u"href " + launch->GetTarget();
    if (const auto* click = dynamic_cast<const EnableRightClickCommand*>(command))
        return click->IsEnabled() ? u"rightclick on" : u"rightclick off";
    if (const auto* branch = dynamic_cast<const IfThenElseCommand*>(command)) {
        std::u16string text = u"if";
        for (const auto& [name, value] : branch->GetCondition())
            text += u" [" + name + u"]=[" + value + u"]";
        return text + u" then " + Describe(branch->GetThen()) + u" else " + Describe(branch->GetElse());
    }
    return command->GetDescription() + (command->GetWait() ? u"" : u" nowait");
}

TEST(FlowStatementsTest, StatementsBuildTheirCommandsOrFail)
{
    TriggerManager triggers;
    ScenesManager scenes;
    TestTools::ScriptRun script;
    const std::string& badNumber = TestTools::kBadNumber;
    const std::pair<std::u16string_view, std::string> cases[] = {
        {u"pause", "Pause"},
        {u"delay(500)", "Delay-0.5"},
        {u"delay(250, wait=no)", "Delay-0.25 nowait"},
        {u"goto(t)", "goto t"},
        {u"href(http://example.org/a b)", "href http://example.org/a b"},
        {u"rightclick(no)", "rightclick off"},
        {u"rightclick", "rightclick on"},
        {u"rightclick(No)", "rightclick on"}, // only the exact "no" disables
        {u"set(visited, yes)", "Set trigger-visited=yes"},
        // Branches live in the conditional, not in the scene; blanks around '=' stay.
        {u"if a=1 and b==2 then goto(s1) else set(x, y)", "if [a]=[1] [b]=[2] then goto s1 else Set trigger-x=y"},
        {u"if a = 1 then goto(s2)", "if [a ]=[ 1] then goto s2 else none"},
        {u"if a=1 then  else goto(s3)", "if [a]=[1] then none else goto s3"},
        {u"if a then goto(x)", "if: the condition part 'a' has no '='"},
        {u"if a=1 and b then goto(x)", "if: the condition part 'b' has no '='"},
        {u"delay()", badNumber},
        {u"if a=1 then delay(x)", badNumber}, // a branch's error is the conditional's
    };
    for (const auto& [statement, expected] : cases) {
        EXPECT_EQ(script.InScene(statement, [](const Command* c) { return TextCodec::WideToUtf8(Describe(c)); }),
                  expected)
            << TextCodec::WideToUtf8(statement);
    }
    for (const std::u16string_view statement :
         {u"pause", u"delay(10)", u"goto(x)", u"href(x)", u"rightclick(no)", u"set(a, b)", u"if a=1 then goto(x)"}) {
        const std::string name = TextCodec::WideToUtf8(statement.substr(0, statement.find_first_of(u"( ")));
        EXPECT_EQ(script.Run({statement}), name + " needs an open scene, interface or menu block");
    }
}

} // namespace
} // namespace Vel
