#include "script/CharacterStatements.h"

#include "commands/ChangePoseCommand.h"
#include "core/TextCodec.h"
#include "dialogue/Dialog.h"
#include "dialogue/DialogManager.h"
#include "resources/Character.h"
#include "resources/ResourceManager.h"
#include "script/CommandLine.h"
#include "script/NodeStatements.h"
#include "script/ParseManager.h"
#include "script/RequireManager.h"
#include "script/ScriptError.h"
#include "script/ScriptLinter.h"
#include "script/ScriptValues.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace Vel {

namespace {

// The character of the innermost open block; an animation block is the wrong one, like any other kind.
Character& OpenCharacter(const ParseManager& parser, std::u16string_view statement)
{
    Resource& resource = parser.TopBlockAs<Resource>(BlockKind::Resource, statement);
    if (resource.GetType() != ResourceType::Character)
        throw ScriptError(TextCodec::WideToUtf8(statement) +
                          " needs an open character block (the innermost open block is an animation block)");
    return static_cast<Character&>(resource);
}

void BeginCharacter(ParseManager& parser, CommandLine& line)
{
    Character* character = RequireManager<ResourceManager>(u"begincharacter").GetCharacter(line.GetArgument(0));
    // Resource blocks hold the Resource base, since animation blocks share the kind.
    parser.PushBlock(BlockKind::Resource, static_cast<Resource*>(character));
}

void AddPose(ParseManager& parser, CommandLine& line)
{
    OpenCharacter(parser, u"pose")
        .AddPose(line.GetArgument(0), line.GetAttribute(u"idle"), line.GetAttribute(u"speak"),
                 line.GetAttribute(u"avatar"));
}

// avatar(align=x:y, default=picture): both numbers are needed once the pair is written.
void SetAvatar(ParseManager& parser, CommandLine& line)
{
    Character& character = OpenCharacter(parser, u"avatar");
    float x = 0.0f;
    float y = 0.0f;
    ScriptValues::ReadPair(line, u"align", x, y);
    character.SetAvatar(line.GetAttribute(u"default"), x, y);
}

// dialog(textbox=, namebox=, namestyle=, style=, name=): the boxes are fetched (made when new) by the dialog.
void SetDialog(ParseManager& parser, CommandLine& line)
{
    Character& character = OpenCharacter(parser, u"dialog");
    ResourceManager& resources = RequireManager<ResourceManager>(u"dialog");
    // The dialog takes its boxes from the dialogue manager when it is made.
    static_cast<void>(RequireManager<DialogManager>(u"dialog"));
    // GetStyle gives null for an empty name: no style.
    Style* nameStyle = resources.GetStyle(line.GetAttribute(u"namestyle"));
    Style* textStyle = resources.GetStyle(line.GetAttribute(u"style"));
    character.SetDialog(std::make_unique<Dialog>(line.GetAttribute(u"textbox"), line.GetAttribute(u"namebox"),
                                                 nameStyle, textStyle, line.GetAttribute(u"name")));
    parser.NoteText(line.GetAttribute(u"name"), nameStyle != nullptr ? nameStyle : textStyle);
}

// character(name, pose=..., placement...): the pose is switched now, so the first frame already shows it, and again
// by the node command when the scene runs, since another scene may have changed it in between.
void PlaceCharacter(ParseManager& parser, CommandLine& line)
{
    const std::u16string name = line.GetArgument(0);
    Character* character = RequireManager<ResourceManager>(u"character").GetCharacter(name);
    const std::u16string pose = line.GetAttribute(u"pose");
    character->SetPose(pose);
    std::unique_ptr<Command> poseChange;
    if (!pose.empty())
        poseChange = std::make_unique<ChangePoseCommand>(name, pose);
    AddNodeCommand(parser, line, character, u"character", NodeVisibility::Shown, std::move(poseChange));
}

} // namespace

void RegisterCharacterStatements(ParseManager& parser)
{
    parser.AddHandler(u"begincharacter", [&parser](CommandLine& line) { BeginCharacter(parser, line); });
    parser.AddHandler(u"pose", [&parser](CommandLine& line) { AddPose(parser, line); });
    parser.AddHandler(u"avatar", [&parser](CommandLine& line) { SetAvatar(parser, line); });
    parser.AddHandler(u"dialog", [&parser](CommandLine& line) { SetDialog(parser, line); });
    parser.AddHandler(u"character", [&parser](CommandLine& line) { PlaceCharacter(parser, line); });
}

} // namespace Vel
