#include "script/FlowStatements.h"

#include "commands/EnableRightClickCommand.h"
#include "commands/GotoCommand.h"
#include "commands/IfThenElseCommand.h"
#include "commands/LaunchCommand.h"
#include "commands/SetDelayCommand.h"
#include "commands/SetTriggerCommand.h"
#include "core/TextCodec.h"
#include "scene/CommandContainer.h"
#include "scene/Trigger.h"
#include "script/CommandLine.h"
#include "script/ParseManager.h"
#include "script/ScriptError.h"
#include "script/ScriptLinter.h"
#include "script/ScriptValues.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace Vel {

namespace {

void Add(ParseManager& parser, std::u16string_view statement, std::unique_ptr<Command> command)
{
    parser.TopBlockAs<CommandContainer>(BlockKind::CommandContainer, statement).AddCommand(std::move(command));
}

std::unique_ptr<Command> MakeDelay(const CommandLine& line, float seconds)
{
    auto command = std::make_unique<SetDelayCommand>(seconds);
    if (ScriptValues::IsFlag(line.GetAttribute(u"wait"), u"no"))
        command->SetWait(false);
    return command;
}

// "name=value": the pieces keep their blanks; a run of "=" separates them.
void AddRequirement(std::u16string_view part, IfThenElseCommand::Condition& condition)
{
    const std::size_t equals = part.find(u'=');
    if (equals == std::u16string_view::npos)
        throw ScriptError("if: the condition part '" + TextCodec::WideToUtf8(part) + "' has no '='");
    const std::size_t valueStart = part.find_first_not_of(u'=', equals);
    const std::u16string_view value =
        valueStart == std::u16string_view::npos ? std::u16string_view() : part.substr(valueStart);
    condition[std::u16string(part.substr(0, equals))] = std::u16string(value);
}

IfThenElseCommand::Condition ParseCondition(std::u16string_view text)
{
    static constexpr std::u16string_view kAnd = u" and ";
    IfThenElseCommand::Condition condition;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(kAnd, start);
        const std::u16string_view part = text.substr(start, end == std::u16string_view::npos ? end : end - start);
        AddRequirement(TrimBlanks(part), condition);
        if (end == std::u16string_view::npos)
            return condition;
        start = end + kAnd.size();
    }
}

std::unique_ptr<Command> ParseBranch(ParseManager& parser, const std::u16string& text)
{
    return text.empty() ? nullptr : parser.ParseCommand(text);
}

void AddConditional(ParseManager& parser, const CommandLine& line)
{
    // The container is checked first, so a conditional outside any block fails before its branches are read.
    auto& container = parser.TopBlockAs<CommandContainer>(BlockKind::CommandContainer, u"if");
    IfThenElseCommand::Condition condition = ParseCondition(line.GetArgument(0));
    std::unique_ptr<Command> thenCommand = ParseBranch(parser, line.GetArgument(1));
    std::unique_ptr<Command> elseCommand = ParseBranch(parser, line.GetArgument(2));
    container.AddCommand(
        std::make_unique<IfThenElseCommand>(std::move(condition), std::move(thenCommand), std::move(elseCommand)));
}

} // namespace

void RegisterFlowStatements(ParseManager& parser)
{
    parser.AddHandler(u"pause", [&parser](CommandLine& line) { Add(parser, u"pause", MakeDelay(line, -1.0f)); });
    parser.AddHandler(u"delay", [&parser](CommandLine& line) {
        Add(parser, u"delay",
            MakeDelay(line, ScriptValues::ToSeconds(line.GetArgument(0), ScriptValues::Argument(line, 0))));
    });
    parser.AddHandler(u"goto", [&parser](CommandLine& line) {
        const SourcePosition* at = parser.CurrentPosition();
        Add(parser, u"goto",
            std::make_unique<GotoCommand>(line.GetArgument(0), at ? ParseManager::SourceName(at->fileName) : u"",
                                          at ? at->statementLine : 0));
        parser.Note(LintKind::Scene, line.GetArgument(0));
    });
    parser.AddHandler(u"href", [&parser](CommandLine& line) {
        Add(parser, u"href", std::make_unique<LaunchCommand>(line.GetArgument(0)));
    });
    parser.AddHandler(u"rightclick", [&parser](CommandLine& line) {
        const bool enabled = !ScriptValues::IsFlag(line.GetArgument(0), u"no");
        Add(parser, u"rightclick", std::make_unique<EnableRightClickCommand>(enabled));
    });
    parser.AddHandler(u"set", [&parser](CommandLine& line) {
        if (IsEngineTriggerName(line.GetArgument(0)))
            parser.AddWarning("set(" + TextCodec::WideToUtf8(line.GetArgument(0)) +
                              "): triggers whose names start with '_' are the engine's, which sets them again");
        Add(parser, u"set", std::make_unique<SetTriggerCommand>(line.GetArgument(0), line.GetArgument(1)));
    });
    parser.AddHandler(u"if", [&parser](CommandLine& line) { AddConditional(parser, line); });
}

} // namespace Vel
