#include "script/SelectionStatements.h"

#include "commands/SetSelectionCommand.h"
#include "resources/ResourceManager.h"
#include "scene/Action.h"
#include "scene/CommandContainer.h"
#include "script/CommandLine.h"
#include "script/ParseManager.h"
#include "script/RequireManager.h"
#include "script/ScriptError.h"
#include "script/ScriptValues.h"

#include <memory>
#include <string>
#include <utility>

namespace Vel {

namespace {

void BeginSelection(ParseManager& parser)
{
    auto& container = parser.TopBlockAs<CommandContainer>(BlockKind::CommandContainer, u"beginselection");
    auto selection = std::make_unique<SetSelectionCommand>();
    SetSelectionCommand* open = selection.get();
    container.AddCommand(std::move(selection));
    parser.PushBlock(BlockKind::ChoiceList, open);
}

// Both numbers of a pair are needed once the pair is written; 0 and 0 when it is not.
void ReadPair(const CommandLine& line, const std::u16string& key, float& first, float& second)
{
    if (line.GetAttribute(key).empty())
        return;
    first = ScriptValues::ToFloat(line.GetAttribute(key + u"1"));
    second = ScriptValues::ToFloat(line.GetAttribute(key + u"2"));
}

// entry(text=, style=, align=x:y, size=w:h, action=): a choice without an action only closes the selection.
void AddEntry(ParseManager& parser, CommandLine& line)
{
    auto& selection = parser.TopBlockAs<SetSelectionCommand>(BlockKind::ChoiceList, u"entry");
    Style* style = nullptr;
    if (const std::u16string styleName = line.GetAttribute(u"style"); !styleName.empty()) {
        style = RequireManager<ResourceManager>(u"entry").GetStyle(styleName);
    }
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    ReadPair(line, u"align", x, y);
    ReadPair(line, u"size", width, height);
    std::shared_ptr<Action> action;
    if (const std::u16string actionText = line.GetAttribute(u"action"); !actionText.empty())
        action = parser.ParseAction(actionText);
    selection.AddChoice(std::move(action), line.GetAttribute(u"text"), style, x, y, width, height);
}

} // namespace

void RegisterSelectionStatements(ParseManager& parser)
{
    parser.AddHandler(u"beginselection", [&parser](CommandLine&) { BeginSelection(parser); });
    parser.AddHandler(u"entry", [&parser](CommandLine& line) { AddEntry(parser, line); });
}

} // namespace Vel
