#include "script/NodeStatements.h"

#include "commands/ClearCommand.h"
#include "commands/CreateNodeCommand.h"
#include "commands/ModifyActionCommand.h"
#include "commands/ModifyOpacityCommand.h"
#include "commands/ModifyPositionCommand.h"
#include "commands/ModifyZoomCommand.h"
#include "core/TextCodec.h"
#include "resources/Animation.h"
#include "resources/ResourceManager.h"
#include "scene/CommandContainer.h"
#include "script/CommandLine.h"
#include "script/ParseManager.h"
#include "script/RequireManager.h"
#include "script/ScriptError.h"
#include "script/ScriptLinter.h"
#include "script/ScriptValues.h"

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace Vel {

namespace {

// "key=" leaves a value out, as in every other statement.
bool Has(const CommandLine& line, const std::u16string& attribute)
{
    return !line.GetAttribute(attribute).empty();
}

void Add(ParseManager& parser, std::u16string_view statement, std::unique_ptr<Command> command)
{
    parser.TopBlockAs<CommandContainer>(BlockKind::CommandContainer, statement).AddCommand(std::move(command));
}

bool IsPlacing(const CommandLine& line)
{
    // An action alone modifies no placement, so it does not put a node on the stage.
    for (const char16_t* attribute : {u"layer", u"align", u"opacity", u"zoom", u"zoomc"})
        if (Has(line, attribute))
            return true;
    return false;
}

// zoomc wins over zoom: both would fight over the node's zoom.
std::unique_ptr<Command> MakeZoom(const CommandLine& line, const std::u16string& node)
{
    const bool keepCentre = Has(line, u"zoomc");
    if (!keepCentre && !Has(line, u"zoom"))
        return nullptr;
    const std::vector<float> zoom = ScriptValues::ReadParts(line, keepCentre ? u"zoomc" : u"zoom", "a pair target:time",
                                                            {ScriptValues::kPercent, ScriptValues::kMilliseconds});
    return std::make_unique<ModifyZoomCommand>(node, zoom[0], zoom[1], keepCentre);
}

// The attached commands in the order they start: fade, zoom, action. Also returns the fade's start opacity.
std::vector<std::unique_ptr<Command>> MakeAttached(ParseManager& parser, const CommandLine& line, float& opacity)
{
    const std::u16string node = line.GetArgument(0);
    std::vector<std::unique_ptr<Command>> attached;
    if (Has(line, u"opacity")) {
        const std::vector<float> fade =
            ScriptValues::ReadParts(line, u"opacity", "three numbers start:end:time",
                                    {ScriptValues::kPercent, ScriptValues::kPercent, ScriptValues::kMilliseconds});
        opacity = fade[0];
        attached.push_back(std::make_unique<ModifyOpacityCommand>(node, fade[0], fade[1], fade[2]));
    }
    if (std::unique_ptr<Command> zoom = MakeZoom(line, node))
        attached.push_back(std::move(zoom));
    if (Has(line, u"action"))
        attached.push_back(
            std::make_unique<ModifyActionCommand>(node, parser.ParseAction(line.GetAttribute(u"action"))));
    return attached;
}

void PlaceAnimation(ParseManager& parser, CommandLine& line)
{
    Animation* animation = RequireManager<ResourceManager>(u"animation").GetAnimation(line.GetArgument(0));
    parser.SetCurrentResource(line.GetArgument(0));
    AddNodeCommand(parser, line, animation, u"animation", NodeVisibility::Shown);
}

ModifyPositionCommand::Point ReadPoint(const CommandLine& line, const std::u16string& attribute)
{
    ModifyPositionCommand::Point point;
    ScriptValues::ReadPair(line, attribute, point.x, point.y);
    return point;
}

void AddMove(ParseManager& parser, const CommandLine& line)
{
    const std::u16string time = line.GetAttribute(u"time");
    const float duration = time.empty() ? 0.0f : ScriptValues::ToSeconds(time, ScriptValues::Attribute(line, u"time"));
    auto move = std::make_unique<ModifyPositionCommand>(line.GetArgument(0), ReadPoint(line, u"start"),
                                                        ReadPoint(line, u"finish"), duration);
    if (ScriptValues::IsFlag(line.GetAttribute(u"wait"), u"no"))
        move->SetWait(false);
    Add(parser, u"move", std::move(move));
}

} // namespace

void AddNodeCommand(ParseManager& parser, const CommandLine& line, Resource* resource, const std::u16string& group,
                    NodeVisibility visibility, std::unique_ptr<Command> poseChange)
{
    CreateNodeCommand::Placement placement;
    std::vector<std::unique_ptr<Command>> attached = MakeAttached(parser, line, placement.opacity);
    if (!IsPlacing(line) && !poseChange)
        return;
    if (poseChange)
        attached.push_back(std::move(poseChange));
    placement.name = line.GetArgument(0);
    placement.group = group;
    placement.resource = resource;
    placement.visible = visibility == NodeVisibility::Shown;
    if (Has(line, u"layer"))
        placement.layer = ScriptValues::ToInt(line.GetAttribute(u"layer"), ScriptValues::Attribute(line, u"layer"));
    ScriptValues::ReadPair(line, u"align", placement.x, placement.y);
    auto node = std::make_unique<CreateNodeCommand>(placement);
    for (std::unique_ptr<Command>& command : attached)
        node->AddChild(std::move(command));
    if (ScriptValues::IsFlag(line.GetAttribute(u"wait"), u"no"))
        node->SetWait(false);
    if (parser.Blocks().empty())
        throw ScriptError("Node command out of scene");
    Add(parser, line.Keyword(), std::move(node));
    if (ScriptLinter* linter = parser.GetLinter())
        linter->NotePlacedNode(line.GetArgument(0));
}

void RegisterNodeStatements(ParseManager& parser)
{
    parser.AddHandler(u"animation", [&parser](CommandLine& line) { PlaceAnimation(parser, line); });
    parser.AddHandler(u"move", [&parser](CommandLine& line) { AddMove(parser, line); });
    parser.AddHandler(u"clear", [&parser](CommandLine& line) {
        Add(parser, u"clear", std::make_unique<ClearCommand>(line.GetArgument(0)));
        parser.Note(LintKind::ClearTarget, line.GetArgument(0));
    });
}

} // namespace Vel
