#include "script/SelectionStatements.h"

#include "commands/SetSelectionCommand.h"
#include "resources/ResourceManager.h"
#include "scene/Action.h"
#include "scene/CommandContainer.h"
#include "script/ClickArea.h"
#include "script/CommandLine.h"
#include "script/ParseManager.h"
#include "script/RequireManager.h"
#include "script/ScriptError.h"
#include "script/ScriptLinter.h"
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

// entry(text=, style=, align=x:y, size=w:h, action=): a choice without an action only closes the selection.
void AddEntry(ParseManager& parser, CommandLine& line)
{
    auto& selection = parser.TopBlockAs<SetSelectionCommand>(BlockKind::ChoiceList, u"entry");
    Style* style = nullptr;
    if (const std::u16string styleName = line.GetAttribute(u"style"); !styleName.empty()) {
        style = RequireManager<ResourceManager>(u"entry").GetStyle(styleName);
    }
    ClickArea area = ClickArea::Read(parser, line);
    selection.AddChoice(std::move(area.action), line.GetAttribute(u"text"), style, area.x, area.y, area.width,
                        area.height);
    parser.NoteText(line.GetAttribute(u"text"), style);
}

} // namespace

void RegisterSelectionStatements(ParseManager& parser)
{
    parser.AddHandler(u"beginselection", [&parser](CommandLine&) { BeginSelection(parser); });
    parser.AddHandler(u"entry", [&parser](CommandLine& line) { AddEntry(parser, line); });
}

} // namespace Vel
