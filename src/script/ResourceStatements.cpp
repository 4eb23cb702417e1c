#include "script/ResourceStatements.h"

#include "core/TextCodec.h"
#include "data/LoadFile.h"
#include "resources/Animation.h"
#include "resources/NineSlice.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "script/CommandLine.h"
#include "script/NodeStatements.h"
#include "script/ParseManager.h"
#include "script/RequireManager.h"
#include "script/ScriptError.h"
#include "script/ScriptLinter.h"
#include "script/ScriptValues.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Vel {

namespace {

std::string TypeName(ResourceType type)
{
    switch (type) {
    case ResourceType::Sprite:
        return "sprite";
    case ResourceType::Animation:
        return "animation";
    case ResourceType::Character:
        return "character";
    }
    return "unknown";
}

// when=trigger:value; the value may be empty ("trigger:"), as an unset trigger's is.
ShowCondition ReadShowCondition(const std::u16string& text)
{
    const std::size_t colon = text.find(u':');
    if (colon == 0 || colon == std::u16string::npos)
        throw ScriptError("when= needs a trigger and a value: trigger:value");
    return ShowCondition{text.substr(0, colon), text.substr(colon + 1)};
}

// object(name, file=...): the sprite definition, followed by the node step when the line places the sprite.
void Object(ParseManager& parser, CommandLine& line)
{
    Sprite* sprite = RequireManager<ResourceManager>(u"object").GetSprite(line.GetArgument(0));
    const std::u16string file = line.GetAttribute(u"file");
    if (!file.empty())
        sprite->SetFile(file);
    if (const std::u16string when = line.GetAttribute(u"when"); !when.empty())
        sprite->SetShowCondition(ReadShowCondition(when));
    if (ScriptLinter* linter = parser.GetLinter(); linter != nullptr && !file.empty())
        linter->NoteObjectFile(line.GetArgument(0), file, parser.CurrentPosition());
    parser.SetCurrentResource(line.GetArgument(0));
    AddNodeCommand(parser, line, sprite, u"", NodeVisibility::Shown);
}

// beginanim(name, cycle=yes): only "yes" sets the flag, and nothing clears it, so a second block under the same
// name keeps it.
void BeginAnimation(ParseManager& parser, CommandLine& line)
{
    Animation* animation = RequireManager<ResourceManager>(u"beginanim").GetAnimation(line.GetArgument(0));
    if (ScriptValues::IsFlag(line.GetAttribute(u"cycle"), u"yes"))
        animation->SetCycle(true);
    // Resource blocks hold the Resource base, since character blocks share the kind.
    parser.PushBlock(BlockKind::Resource, static_cast<Resource*>(animation));
}

// frame(file, duration, align=x:y): duration in milliseconds; both checked before the frame is added.
void AddFrame(ParseManager& parser, CommandLine& line)
{
    Resource& resource = parser.TopBlockAs<Resource>(BlockKind::Resource, u"frame");
    if (resource.GetType() != ResourceType::Animation)
        throw ScriptError("frame needs an open animation block (the innermost open block is a " +
                          TypeName(resource.GetType()) + " block)");
    const float duration = ScriptValues::ToSeconds(line.GetArgument(1), ScriptValues::Argument(line, 1));
    float offsetX = 0.0f;
    float offsetY = 0.0f;
    ScriptValues::ReadPair(line, u"align", offsetX, offsetY);
    static_cast<Animation&>(resource).AddFrame(line.GetArgument(0), duration, offsetX, offsetY);
    parser.Note(LintKind::PictureFile, line.GetArgument(0));
}

// nineslice(name, file=..., border=l:t:r:b): the borders whole pixels, none below 0; whether they fit the picture
// is known only once it is loaded.
void DefineNineSlice(ParseManager& parser, const CommandLine& line)
{
    const std::u16string name = line.GetArgument(0);
    ResourceManager& resources = RequireManager<ResourceManager>(u"nineslice");
    const std::u16string file = line.GetAttribute(u"file");
    if (file.empty())
        throw ScriptError("nineslice needs a file=");
    if (Resource* other = resources.FindResource(name); other != nullptr && dynamic_cast<NineSlice*>(other) == nullptr)
        throw ScriptError("nineslice: a picture named '" + TextCodec::WideToUtf8(name) + "' exists already");
    const std::vector<float> border =
        ScriptValues::ReadParts(line, u"border", "four whole pixel counts l:t:r:b", {1.0, 1.0, 1.0, 1.0});
    for (const float side : border)
        if (!(side >= 0.0f) || side != static_cast<float>(static_cast<std::int32_t>(side)))
            throw ScriptError("bad lexical cast: " + ScriptValues::Attribute(line, u"border") +
                              " is not four whole pixel counts l:t:r:b");
    NineSlice* picture = resources.GetNineSlice(name);
    picture->SetFile(file);
    picture->SetBorders({border[0], border[1], border[2], border[3]});
    parser.Note(LintKind::PictureFile, file);
    // Only the check measures the picture now, when there is one to measure (the missing file is its own finding):
    // a game loads its pictures when it first draws them.
    if (parser.GetLinter() == nullptr || !FileExists(TextCodec::WideToUtf8(file)))
        return;
    const float width = picture->GetWidth();
    const float height = picture->GetHeight();
    if (width > 0.0f && (border[0] + border[2] > width || border[1] + border[3] > height))
        parser.AddWarning("nine-slice picture '" + TextCodec::WideToUtf8(name) + "': its borders are larger than '" +
                          TextCodec::WideToUtf8(file) + "' (" + std::to_string(static_cast<int>(width)) + " x " +
                          std::to_string(static_cast<int>(height)) + "); it will be drawn stretched whole");
}

} // namespace

void RegisterResourceStatements(ParseManager& parser)
{
    parser.AddHandler(u"nineslice", [&parser](CommandLine& line) { DefineNineSlice(parser, line); });
    parser.AddHandler(u"object", [&parser](CommandLine& line) { Object(parser, line); });
    parser.AddHandler(u"beginanim", [&parser](CommandLine& line) { BeginAnimation(parser, line); });
    parser.AddHandler(u"frame", [&parser](CommandLine& line) { AddFrame(parser, line); });
}

} // namespace Vel
