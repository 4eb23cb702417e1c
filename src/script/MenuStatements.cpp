#include "script/MenuStatements.h"

#include "commands/CreateNodeCommand.h"
#include "commands/SetMenuCommand.h"
#include "commands/SetSwapCommand.h"
#include "core/PlayerSettings.h"
#include "core/TextCodec.h"
#include "menus/Menu.h"
#include "menus/MenuManager.h"
#include "menus/MenuSwitch.h"
#include "menus/TextSlider.h"
#include "menus/VisualSlider.h"
#include "resources/ResourceManager.h"
#include "resources/TextButtonLook.h"
#include "scene/Action.h"
#include "scene/CommandContainer.h"
#include "scene/Scene.h"
#include "script/ClickArea.h"
#include "script/CommandLine.h"
#include "script/NodeStatements.h"
#include "script/ParseManager.h"
#include "script/RequireManager.h"
#include "script/ScriptError.h"
#include "script/ScriptLinter.h"
#include "script/ScriptValues.h"
#include "sound/SoundManager.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace Vel {

namespace {

std::string Utf8(std::u16string_view text)
{
    return TextCodec::WideToUtf8(text);
}

// Menus are pushed as command containers, so that command statements inside them need nothing special; the
// statements that build the menu itself tell a menu from the scenes by its type.
Menu& TopMenu(const ParseManager& parser, std::u16string_view statement)
{
    Menu* menu = nullptr;
    if (!parser.Blocks().empty() && parser.Blocks().back().kind == BlockKind::CommandContainer)
        menu = dynamic_cast<Menu*>(static_cast<CommandContainer*>(parser.Blocks().back().object));
    if (menu == nullptr)
        throw ScriptError(Utf8(statement) + " needs an open menu block");
    return *menu;
}

void Add(ParseManager& parser, std::u16string_view statement, std::unique_ptr<Command> command)
{
    parser.TopBlockAs<CommandContainer>(BlockKind::CommandContainer, statement).AddCommand(std::move(command));
}

void ReadInt(const CommandLine& line, const std::u16string& key, std::int32_t& target)
{
    if (const std::u16string value = line.GetAttribute(key); !value.empty())
        target = ScriptValues::ToInt(value, ScriptValues::Attribute(line, key));
}

void BeginMenu(ParseManager& parser, const CommandLine& line)
{
    Menu* menu = RequireManager<MenuManager>(u"beginmenu").CreateMenu(line.GetArgument(0));
    if (menu == nullptr)
        throw ScriptError("Menu already exists");
    parser.PushBlock(BlockKind::CommandContainer, static_cast<CommandContainer*>(menu));
}

// button(picture, align=x:y, size=w:h, action=...): an action that names nothing leaves the button inert.
void AddButton(ParseManager& parser, const CommandLine& line)
{
    Menu& menu = TopMenu(parser, u"button");
    ClickArea area = ClickArea::Read(parser, line);
    menu.AddButton(line.GetArgument(0), area.x, area.y, area.width, area.height, std::move(area.action));
}

// A picture attribute of a text button: none when not given, a warning when it names no picture yet.
Resource* ButtonPicture(ParseManager& parser, const CommandLine& line, const std::u16string& key)
{
    const std::u16string name = line.GetAttribute(key);
    if (name.empty())
        return nullptr;
    Resource* picture = RequireManager<ResourceManager>(u"textbutton").FindResource(name);
    if (picture == nullptr)
        parser.AddWarning("text button '" + Utf8(line.GetArgument(0)) + "': no picture is named '" + Utf8(name) +
                          "' when the button is made: it draws no " + Utf8(key) + " picture");
    return picture;
}

// What a textbutton line gives, read and checked once for both places a button may stand.
struct TextButtonLine
{
    std::u16string name;
    float x = 0.0f;
    float y = 0.0f;
    TextButtonLook::Values idle;
    TextButtonLook::Values hover;
};

// The hover look keeps the idle style and picture where it names none.
TextButtonLine ReadTextButton(ParseManager& parser, const CommandLine& line)
{
    ResourceManager& resources = RequireManager<ResourceManager>(u"textbutton");
    TextButtonLine button;
    button.name = line.GetArgument(0);
    float width = 0.0f;
    float height = 0.0f;
    ScriptValues::ReadRectangle(line, button.x, button.y, width, height);
    const std::u16string label = line.GetAttribute(u"text");
    if (label.empty())
        throw ScriptError("textbutton needs a text=");
    if (!(width > 0.0f) || !(height > 0.0f))
        throw ScriptError("textbutton needs a size=width:height above 0");
    Style* style = resources.GetStyle(line.GetAttribute(u"style"));
    if (style == nullptr)
        parser.AddWarning("text button '" + Utf8(button.name) + "' has no style=: it will draw no label");
    Style* hoverStyle = resources.GetStyle(line.GetAttribute(u"hoverstyle"));
    Resource* idle = ButtonPicture(parser, line, u"idle");
    Resource* hover = ButtonPicture(parser, line, u"hover");
    button.idle = {.label = label, .style = style, .picture = idle, .width = width, .height = height};
    button.hover = button.idle;
    if (hoverStyle != nullptr)
        button.hover.style = hoverStyle;
    if (hover != nullptr)
        button.hover.picture = hover;
    parser.NoteText(label, style);
    return button;
}

void AddMenuTextButton(ParseManager& parser, const CommandLine& line, Menu& menu, TextButtonLine button)
{
    std::shared_ptr<Action> action;
    if (const std::u16string text = line.GetAttribute(u"action"); !text.empty())
        action = parser.ParseAction(text);
    if (!menu.AddTextButton(button.name, std::make_unique<TextButtonLook>(std::move(button.idle)),
                            std::make_unique<TextButtonLook>(std::move(button.hover)), button.x, button.y,
                            std::move(action)))
        throw ScriptError("Menu '" + Utf8(menu.GetName()) + "' has a button named '" + Utf8(button.name) + "' already");
}

// In a scene: the node NAME shows the idle look and carries the action, the hidden node NAMEhover the hover look,
// paired as a swap (a label, without an action, has only NAME); the looks are kept by the resource manager under names no script can write, one pair per scene
// and button name.
void AddSceneTextButton(ParseManager& parser, const CommandLine& line, const Scene& scene, TextButtonLine button)
{
    if (line.GetAttribute(u"align").empty())
        throw ScriptError("textbutton in a scene needs an align=x:y");
    ResourceManager& resources = RequireManager<ResourceManager>(u"textbutton");
    const std::u16string look = u"textbutton(" + scene.GetName() + u", " + button.name + u")";
    TextButtonLook* idle = resources.GetButtonLook(look);
    TextButtonLook* hover = resources.GetButtonLook(look + u"hover");
    idle->SetValues(std::move(button.idle));
    hover->SetValues(std::move(button.hover));
    AddNodeCommand(parser, line, idle, u"", NodeVisibility::Shown);
    if (line.GetAttribute(u"action").empty())
        return;
    CreateNodeCommand::Placement placement;
    placement.name = button.name + u"hover";
    placement.x = button.x;
    placement.y = button.y;
    placement.visible = false;
    placement.resource = hover;
    if (const std::u16string layer = line.GetAttribute(u"layer"); !layer.empty())
        placement.layer = ScriptValues::ToInt(layer, ScriptValues::Attribute(line, u"layer"));
    Add(parser, u"textbutton", std::make_unique<CreateNodeCommand>(placement));
    Add(parser, u"textbutton", std::make_unique<SetSwapCommand>(button.name, button.name + u"hover"));
}

// textbutton(name, text=, style=, hoverstyle=, align=x:y, size=w:h, idle=, hover=, action=, layer=n): in a menu
// block it joins the menu's buttons; in a scene block it is placed by the scene's commands.
void AddTextButton(ParseManager& parser, const CommandLine& line)
{
    if (parser.Blocks().empty() || parser.Blocks().back().kind != BlockKind::CommandContainer)
        throw ScriptError("textbutton needs an open menu or scene block");
    TextButtonLine button = ReadTextButton(parser, line);
    auto* container = static_cast<CommandContainer*>(parser.Blocks().back().object);
    if (Menu* menu = dynamic_cast<Menu*>(container))
        AddMenuTextButton(parser, line, *menu, std::move(button));
    else if (const Scene* scene = dynamic_cast<const Scene*>(container))
        AddSceneTextButton(parser, line, *scene, std::move(button));
    else
        throw ScriptError("textbutton needs an open menu or scene block");
}

void BeginSwitch(ParseManager& parser, const CommandLine& line)
{
    MenuManager& menus = RequireManager<MenuManager>(u"beginswitch");
    const std::u16string name = line.GetArgument(0);
    MenuSwitch* menuSwitch = menus.CreateSwitch(name);
    if (menuSwitch == nullptr)
        throw ScriptError(menus.FindMenu(name) != nullptr ? "Menu already exists" : "Switch already exists");
    menuSwitch->SetDefault(line.GetAttribute(u"default"));
    parser.PushBlock(BlockKind::MenuElement, menuSwitch);
}

// The volumes a slider's "bind" may name; the text is compared exactly, so "Music" binds nothing.
struct Volume
{
    std::u16string_view name;
    void (SoundManager::*set)(float);
    float (SoundManager::*get)() const;
};

constexpr Volume kVolumes[] = {
    {u"music", &SoundManager::SetMusicVolume, &SoundManager::GetMusicVolume},
    {u"voice", &SoundManager::SetVoiceVolume, &SoundManager::GetVoiceVolume},
    {u"sfx", &SoundManager::SetSfxVolume, &SoundManager::GetSfxVolume},
    {u"general", &SoundManager::SetMasterVolume, &SoundManager::GetMasterVolume},
};

// The player's preferences a slider's "bind" may name, on the same 0..10 scale.
struct Preference
{
    std::u16string_view name;
    void (PlayerSettings::*set)(float);
    std::int32_t PlayerPreferences::*value;
};

constexpr Preference kPreferences[] = {
    {u"textspeed", &PlayerSettings::SetTextSpeed, &PlayerPreferences::textSpeed},
    {u"autospeed", &PlayerSettings::SetAutoSpeed, &PlayerPreferences::autoSpeed},
};

bool NamesBinding(std::u16string_view bind)
{
    for (const Volume& volume : kVolumes)
        if (bind == volume.name)
            return true;
    for (const Preference& preference : kPreferences)
        if (bind == preference.name)
            return true;
    return false;
}

std::string SliderName(const CommandLine& line, const Menu& menu)
{
    return "'" + Utf8(line.GetArgument(0)) + "' of menu '" + Utf8(menu.GetName()) + "'";
}

// Shared by both kinds: the binding, and the warning for a bind text that names no volume.
SliderBinding ReadBinding(ParseManager& parser, const CommandLine& line, const Menu& menu)
{
    const std::u16string bind = line.GetAttribute(u"bind");
    if (!NamesBinding(bind))
        parser.AddWarning(
            "slider " + SliderName(line, menu) + " is bound " +
            (bind.empty() ? std::string("to nothing") : "to '" + Utf8(bind) + "'") +
            ", which is none of music, voice, sfx, general, textspeed and autospeed: it will ignore input");
    return BindSlider(bind);
}

// align=x:y (or align1=, align2=), each integer read when present; 0 otherwise.
void ReadPosition(const CommandLine& line, float& x, float& y)
{
    std::int32_t left = 0;
    std::int32_t top = 0;
    ReadInt(line, u"align1", left);
    ReadInt(line, u"align2", top);
    x = static_cast<float>(left);
    y = static_cast<float>(top);
}

// textslider(name, bind=, normal=, over=, start=n, end=n, spacing=n, align=x:y): the numbers of the volume scale
// unless start and end say otherwise, a blank of the normal face apart unless spacing says otherwise.
void AddTextSlider(ParseManager& parser, const CommandLine& line)
{
    Menu& menu = TopMenu(parser, u"textslider");
    ResourceManager& resources = RequireManager<ResourceManager>(u"textslider");
    SliderBinding binding = ReadBinding(parser, line, menu);
    Style* normal = resources.GetStyle(line.GetAttribute(u"normal"));
    Style* over = resources.GetStyle(line.GetAttribute(u"over"));
    std::int32_t start = 0;
    std::int32_t end = 10;
    ReadInt(line, u"start", start);
    ReadInt(line, u"end", end);
    std::optional<float> spacing;
    if (const std::u16string pixels = line.GetAttribute(u"spacing"); !pixels.empty())
        spacing = static_cast<float>(ScriptValues::ToInt(pixels));
    float x = 0.0f;
    float y = 0.0f;
    ReadPosition(line, x, y);
    auto slider = std::make_unique<TextSlider>(line.GetArgument(0), normal, over, std::move(binding.setter),
                                               std::move(binding.getter), start, end, x, y, spacing);
    // The slider measures its numbers now, so a style defined further down comes too late.
    if (!slider->IsDrawable()) {
        const std::u16string style = line.GetAttribute(u"normal");
        parser.AddWarning(
            "text slider " + SliderName(line, menu) +
            (style.empty() ? std::string(" has no normal style")
                           : ": its normal style '" + Utf8(style) + "' has no TrueType face when the slider is made") +
            ": it will draw nothing and ignore input");
    }
    menu.AddSlider(std::move(slider));
}

// visualslider(name, bind=, box=, bg=, max=n, spacing=n, align=x:y): eleven boxes, one for each value of the
// volume scale, unless max says otherwise.
void AddVisualSlider(ParseManager& parser, const CommandLine& line)
{
    Menu& menu = TopMenu(parser, u"visualslider");
    // The slider looks its pictures up in the registry.
    static_cast<void>(RequireManager<ResourceManager>(u"visualslider"));
    SliderBinding binding = ReadBinding(parser, line, menu);
    const std::u16string box = line.GetAttribute(u"box");
    std::int32_t count = 11;
    std::int32_t spacing = 0;
    ReadInt(line, u"max", count);
    ReadInt(line, u"spacing", spacing);
    float x = 0.0f;
    float y = 0.0f;
    ReadPosition(line, x, y);
    auto slider = std::make_unique<VisualSlider>(line.GetArgument(0), box, line.GetAttribute(u"bg"), count, spacing,
                                                 std::move(binding.setter), std::move(binding.getter), x, y);
    if (slider->GetBoxPicture() == nullptr)
        parser.AddWarning("visual slider " + SliderName(line, menu) +
                          (box.empty() ? std::string(" has no box picture")
                                       : ": no picture is named '" + Utf8(box) + "' when the slider is made") +
                          ": it will draw no boxes and ignore input");
    menu.AddSlider(std::move(slider));
}

// swap(name, ...): the named picture is placed hidden (when the line places it) and becomes the hover picture of
// the last object or animation.
void Swap(ParseManager& parser, const CommandLine& line)
{
    const std::u16string name = line.GetArgument(0);
    Resource* picture = RequireManager<ResourceManager>(u"swap").FindResource(name);
    AddNodeCommand(parser, line, picture, u"", NodeVisibility::Hidden);
    Add(parser, u"swap", std::make_unique<SetSwapCommand>(parser.CurrentResource(), name));
}

void RegisterMenuBlock(ParseManager& parser)
{
    parser.AddHandler(u"beginmenu", [&parser](CommandLine& line) { BeginMenu(parser, line); });
    parser.AddHandler(u"background", [&parser](CommandLine& line) {
        TopMenu(parser, u"background").SetBackground(line.GetArgument(0));
    });
    parser.AddHandler(u"button", [&parser](CommandLine& line) { AddButton(parser, line); });
    parser.AddHandler(u"textbutton", [&parser](CommandLine& line) { AddTextButton(parser, line); });
    parser.AddHandler(u"menu_on", [&parser](CommandLine&) { TopMenu(parser, u"menu_on").CloseInit(); });
    parser.AddHandler(u"menu_off", [&parser](CommandLine&) { TopMenu(parser, u"menu_off").CloseOn(); });
    parser.AddHandler(u"textslider", [&parser](CommandLine& line) { AddTextSlider(parser, line); });
    parser.AddHandler(u"visualslider", [&parser](CommandLine& line) { AddVisualSlider(parser, line); });
}

} // namespace

SliderBinding BindSlider(std::u16string_view name)
{
    if (PlayerSettings* settings = PlayerSettings::GetSingletonPtr()) {
        for (const Preference& preference : kPreferences) {
            if (name == preference.name)
                return {Slider::Setter(settings, preference.set), Slider::Getter([settings, value = preference.value] {
                            return static_cast<float>(settings->Get().*value);
                        })};
        }
    }
    SoundManager* sound = SoundManager::GetSingletonPtr();
    if (sound == nullptr)
        return {};
    for (const Volume& volume : kVolumes) {
        if (name == volume.name)
            return {Slider::Setter(sound, volume.set),
                    Slider::Getter([sound, get = volume.get] { return (sound->*get)(); })};
    }
    return {};
}

void RegisterMenuStatements(ParseManager& parser)
{
    RegisterMenuBlock(parser);
    parser.AddHandler(u"beginswitch", [&parser](CommandLine& line) { BeginSwitch(parser, line); });
    parser.AddHandler(u"switch", [&parser](CommandLine& line) {
        parser.TopBlockAs<MenuSwitch>(BlockKind::MenuElement, u"switch")
            .AddCase(line.GetArgument(0), line.GetAttribute(u"trigger"), line.GetAttribute(u"value"));
    });
    parser.AddHandler(u"menu", [&parser](CommandLine& line) {
        Add(parser, u"menu", std::make_unique<SetMenuCommand>(line.GetArgument(0)));
        parser.Note(LintKind::Menu, line.GetArgument(0));
    });
    parser.AddHandler(u"swap", [&parser](CommandLine& line) { Swap(parser, line); });
}

} // namespace Vel
