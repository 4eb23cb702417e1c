#include "ScriptRun.h"
#include "commands/GotoCommand.h"
#include "commands/IfThenElseCommand.h"
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

// The command as text: a conditional with its pairs and branches, a jump as "goto", others by their description.
std::string Describe(const Command* command)
{
    if (command == nullptr)
        return "none";
    if (dynamic_cast<const GotoCommand*>(command) != nullptr)
        return "goto";
    if (const auto* branch = dynamic_cast<const IfThenElseCommand*>(command)) {
        std::string text = "if";
        for (const auto& [name, value] : branch->GetCondition())
            text += " [" + TextCodec::WideToUtf8(name) + "]=[" + TextCodec::WideToUtf8(value) + "]";
        return text + " then " + Describe(branch->GetThen()) + " else " + Describe(branch->GetElse());
    }
    return TextCodec::WideToUtf8(command->GetDescription()) + (command->GetWait() ? "" : " nowait");
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
        {u"set(visited, yes)", "Set trigger-visited=yes"},
        // Branches live in the conditional, not in the scene; blanks around '=' stay.
        {u"if a=1 and b==2 then goto(s1) else set(x, y)", "if [a]=[1] [b]=[2] then goto else Set trigger-x=y"},
        {u"if a = 1 then goto(s2)", "if [a ]=[ 1] then goto else none"},
        {u"if a=1 then  else goto(s3)", "if [a]=[1] then none else goto"},
        {u"if a then goto(x)", "if: the condition part 'a' has no '='"},
        {u"if a=1 and b then goto(x)", "if: the condition part 'b' has no '='"},
        {u"delay()", badNumber},
        {u"if a=1 then delay(x)", badNumber}, // a branch's error is the conditional's
    };
    for (const auto& [statement, expected] : cases) {
        EXPECT_EQ(script.InScene(statement, Describe), expected) << TextCodec::WideToUtf8(statement);
    }
    for (const std::u16string_view statement :
         {u"pause", u"delay(10)", u"goto(x)", u"href(x)", u"rightclick(no)", u"set(a, b)", u"if a=1 then goto(x)"}) {
        const std::string name = TextCodec::WideToUtf8(statement.substr(0, statement.find_first_of(u"( ")));
        EXPECT_EQ(script.Run({statement}), name + " needs an open scene, interface or menu block");
    }
}

} // namespace
} // namespace Vel
