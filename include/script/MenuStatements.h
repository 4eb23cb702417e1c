#pragma once

// The menu statements. "beginmenu(name)" opens a menu block: the menu collects the command statements inside it,
// and "background", "button", "menu_on", "menu_off", "textslider" and "visualslider" build the menu itself.
// "beginswitch(name, default=...)" opens a switch block that "switch(menu, value=..., trigger=...)" fills with
// cases. In scenes, "menu(name)" adds a command that opens a menu and waits until it closes, and
// "swap(name, ...)" places the named picture hidden and pairs it with the last object or animation as a hover
// swap. "textbutton(name, text=..., ...)" joins a menu's buttons, or in a scene places its two looks as a hover
// swap. A slider or text button that will not work as written (nothing bound, no box picture, no TrueType face, no
// style, a picture not defined yet) is recorded as a parser warning for the script check.

#include "menus/Slider.h"

#include <string_view>

namespace Vel {

class ParseManager;

struct SliderBinding
{
    Slider::Setter setter;
    Slider::Getter getter;
};

// The callbacks a slider's "bind" text names: the sound manager's setter and getter of the music, voice, sfx or
// general volume, or the player's text speed or auto speed (all 0..10). Both empty for any other text (compared
// exactly) and while there is no such manager; they call the manager that exists now, which must outlive them.
[[nodiscard]] SliderBinding BindSlider(std::u16string_view name);

void RegisterMenuStatements(ParseManager& parser);

} // namespace Vel
