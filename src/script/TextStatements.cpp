#include "script/TextStatements.h"

#include "commands/LanguageCommand.h"
#include "commands/SetTextCommand.h"
#include "commands/SpeakCommand.h"
#include "core/TextCodec.h"
#include "data/Translations.h"
#include "dialogue/Dialog.h"
#include "dialogue/DialogManager.h"
#include "dialogue/HistoryScreen.h"
#include "dialogue/Textbox.h"
#include "resources/Character.h"
#include "resources/ResourceManager.h"
#include "resources/Style.h"
#include "scene/CommandContainer.h"
#include "script/CommandLine.h"
#include "script/ParseManager.h"
#include "script/RequireManager.h"
#include "script/ScriptError.h"
#include "script/ScriptLinter.h"
#include "script/ScriptValues.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Vel {

namespace {

// An empty value counts as absent, as "key=" is written to leave a value out.
std::int32_t IntOr(const CommandLine& line, const std::u16string& key, std::int32_t fallback)
{
    const std::u16string value = line.GetAttribute(key);
    return value.empty() ? fallback : ScriptValues::ToInt(value, ScriptValues::Attribute(line, key));
}

float FloatOr(const CommandLine& line, const std::u16string& key, float fallback)
{
    const std::u16string value = line.GetAttribute(key);
    return value.empty() ? fallback : ScriptValues::ToFloat(value, ScriptValues::Attribute(line, key));
}

float Channel(std::uint32_t colour, int shift)
{
    return static_cast<float>((colour >> shift) & 0xFFu) / 255.0f;
}

// style(name, font=, tag=, clickme=, size=, fallback=NAME2:NAME3, il=, color=RRGGBB, speed=): one Set with every value,
// white when no colour is given.
void DefineStyle(CommandLine& line)
{
    ResourceManager& resources = RequireManager<ResourceManager>(u"style");
    Style* style = resources.GetStyle(line.GetArgument(0));
    if (style == nullptr)
        throw ScriptError("style needs a name");
    const std::u16string colourText = line.GetAttribute(u"color");
    const std::uint32_t colour = colourText.empty() ? 0xFFFFFFFFu : ScriptValues::ToColour(colourText);
    style->Set(Style::Values{.font = line.GetAttribute(u"font"),
                             .size = IntOr(line, u"size", 0),
                             .fallback = line.GetAttribute(u"fallback"),
                             .lineSpacing = IntOr(line, u"il", Style::Values{}.lineSpacing),
                             .tag = line.GetAttribute(u"tag"),
                             .speed = IntOr(line, u"speed", 0),
                             .clickme = line.GetAttribute(u"clickme"),
                             .red = Channel(colour, 16),
                             .green = Channel(colour, 8),
                             .blue = Channel(colour, 0),
                             .alpha = Channel(colour, 24),
                             .colourGiven = !colourText.empty()},
               resources.GetFontLibrary());
}

// textbox(name, align=x:y, size=w:h): both numbers of a pair are needed once the pair is written.
void PlaceTextbox(CommandLine& line)
{
    Textbox* box = RequireManager<DialogManager>(u"textbox").GetTextbox(line.GetArgument(0));
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    ScriptValues::ReadRectangle(line, x, y, width, height);
    box->MoveTo(x, y);
    box->SetSize(width, height);
}

// text(textbox=, text=, style=, clickme=, speed=, click=no, skip=no, wait=no): a text needs its box, which the command
// could not run without.
void AddText(ParseManager& parser, CommandLine& line)
{
    auto& container = parser.TopBlockAs<CommandContainer>(BlockKind::CommandContainer, u"text");
    const std::u16string boxName = line.GetAttribute(u"textbox");
    if (boxName.empty())
        throw ScriptError("text without textbox");
    SetTextCommand::Text text;
    text.box = RequireManager<DialogManager>(u"text").GetTextbox(boxName);
    text.text = line.GetAttribute(u"text");
    text.speed = FloatOr(line, u"speed", 0.0f);
    text.click = !ScriptValues::IsFlag(line.GetAttribute(u"click"), u"no");
    text.skip = !ScriptValues::IsFlag(line.GetAttribute(u"skip"), u"no");
    const std::u16string styleName = line.GetAttribute(u"style");
    const std::u16string clickme = line.GetAttribute(u"clickme");
    if (!styleName.empty())
        text.style = RequireManager<ResourceManager>(u"text").GetStyle(styleName);
    if (!clickme.empty())
        text.clickme = RequireManager<ResourceManager>(u"text").FindResource(clickme);
    parser.NoteText(text.text, text.style);
    auto command = std::make_unique<SetTextCommand>(std::move(text));
    if (ScriptValues::IsFlag(line.GetAttribute(u"wait"), u"no"))
        command->SetWait(false);
    container.AddCommand(std::move(command));
}

// The style a speaker's lines are typed in, when its dialog is defined already; null otherwise.
const Style* SpeechStyle(const std::u16string& speaker)
{
    const ResourceManager* resources = ResourceManager::GetSingletonPtr();
    if (resources == nullptr)
        return nullptr;
    const auto found = resources->GetCharacters().find(speaker);
    if (found == resources->GetCharacters().end())
        return nullptr;
    const auto* dialog = dynamic_cast<const Dialog*>(found->second->GetDialog());
    return dialog != nullptr ? dialog->GetTextStyle() : nullptr;
}

// say(speaker, text): the voice named by the last "voice" belongs to this line only.
void AddSpeech(ParseManager& parser, CommandLine& line)
{
    auto& container = parser.TopBlockAs<CommandContainer>(BlockKind::CommandContainer, u"say");
    const std::u16string speaker = line.GetArgument(0);
    const std::vector<std::u16string>& arguments = line.Arguments();
    const std::u16string_view text = arguments.size() > 1 ? std::u16string_view(arguments[1]) : std::u16string_view();
    container.AddCommand(std::make_unique<SpeakCommand>(text, speaker, parser.PendingVoice()));
    if (parser.GetLinter() != nullptr) {
        parser.Note(LintKind::Speaker, speaker);
        parser.NoteText(std::u16string(text), SpeechStyle(speaker), speaker);
    }
    parser.SetPendingVoice(u"");
    parser.AddSpeaker(speaker);
}

// language(CODE): the code is checked here, as the player's settings file keeps it.
void AddLanguage(ParseManager& parser, CommandLine& line)
{
    auto& container = parser.TopBlockAs<CommandContainer>(BlockKind::CommandContainer, u"language");
    const std::string code = TextCodec::WideToUtf8(line.GetArgument(0));
    if (!Translations::IsCode(code))
        throw ScriptError("language: '" + code + "' is no language code (letters, digits, '_', '-', '@')");
    container.AddCommand(std::make_unique<LanguageCommand>(code));
}

// A style named on the history screen must exist already: an unknown name would leave its lines unseen.
Style* ExistingStyle(const CommandLine& line, const std::u16string& key)
{
    const std::u16string name = line.GetAttribute(key);
    if (name.empty())
        return nullptr;
    Style* style = RequireManager<ResourceManager>(u"history").FindStyle(name);
    if (style == nullptr)
        throw ScriptError("history: " + TextCodec::WideToUtf8(key) + "=" + TextCodec::WideToUtf8(name) +
                          " names no style defined before it");
    return style;
}

// history(bg=, align=x:y, size=w:h, style=, namestyle=, spacing=): the look of the history screen, checked whole
// before any of it is taken.
void SetHistoryLook(CommandLine& line)
{
    HistoryScreen& screen = RequireManager<HistoryScreen>(u"history");
    HistoryScreen::Look look;
    look.background = line.GetAttribute(u"bg");
    if (!look.background.empty() && ResourceManager::FindPicture(look.background) == nullptr)
        throw ScriptError("history: bg=" + TextCodec::WideToUtf8(look.background) +
                          " names no picture defined before it");
    ScriptValues::ReadRectangle(line, look.x, look.y, look.width, look.height);
    if (!line.GetAttribute(u"size").empty() && (look.width <= 0.0f || look.height <= 0.0f))
        throw ScriptError("history: " + ScriptValues::Attribute(line, u"size") + " needs a width and a height above 0");
    look.textStyle = ExistingStyle(line, u"style");
    look.nameStyle = ExistingStyle(line, u"namestyle");
    const std::int32_t spacing = IntOr(line, u"spacing", static_cast<std::int32_t>(HistoryScreen::kDefaultSpacing));
    if (spacing < 0)
        throw ScriptError("history: " + ScriptValues::Attribute(line, u"spacing") + " is below 0");
    look.spacing = static_cast<float>(spacing);
    screen.SetLook(std::move(look));
}

} // namespace

void RegisterTextStatements(ParseManager& parser)
{
    parser.AddHandler(u"style", [&parser](CommandLine& line) {
        DefineStyle(line);
        parser.Note(LintKind::Font, line.GetAttribute(u"font"));
        const std::u16string fallbacks = line.GetAttribute(u"fallback");
        for (std::size_t start = 0; start <= fallbacks.size();) {
            const std::size_t colon = std::min(fallbacks.find(u':', start), fallbacks.size());
            parser.Note(LintKind::FallbackFont, fallbacks.substr(start, colon - start));
            start = colon + 1;
        }
    });
    parser.AddHandler(u"textbox", [](CommandLine& line) { PlaceTextbox(line); });
    parser.AddHandler(u"text", [&parser](CommandLine& line) { AddText(parser, line); });
    parser.AddHandler(u"voice", [&parser](CommandLine& line) {
        parser.SetPendingVoice(line.GetArgument(0));
        parser.Note(LintKind::SoundFile, line.GetArgument(0));
    });
    parser.AddHandler(u"say", [&parser](CommandLine& line) { AddSpeech(parser, line); });
    parser.AddHandler(u"language", [&parser](CommandLine& line) { AddLanguage(parser, line); });
    parser.AddHandler(u"history", [](CommandLine& line) { SetHistoryLook(line); });
}

std::vector<std::u16string> SpeakersWithoutDialog(const ParseManager& parser)
{
    ResourceManager* resources = ResourceManager::GetSingletonPtr();
    std::vector<std::u16string> silent;
    for (const std::u16string& speaker : parser.Speakers())
        if (resources == nullptr || resources->GetCharacter(speaker)->GetDialog() == nullptr)
            silent.push_back(speaker);
    return silent;
}

} // namespace Vel
