#pragma once

// The statements for text and speech. "style(name, ...)" fills a text style and "textbox(name, align=x:y,
// size=w:h)" places a text box, both at once; "text(textbox=..., text=..., ...)" adds a text command and
// "say(speaker, text)" (also the "Name=text" line form) a speech command to the command container on top of the
// block stack; "voice(file)" names the voice of the next "say"; "history(bg=..., align=x:y, size=w:h, style=...,
// namestyle=..., spacing=N)" sets the look of the history screen. Styles and text boxes need the ResourceManager and
// the DialogManager, which start with the graphics, and the history's look the history screen.

#include <string>
#include <vector>

namespace Vel {

class ParseManager;

void RegisterTextStatements(ParseManager& parser);

// The speakers of the "say" lines read by the parser whose character has no dialog now, in name order: their lines
// would complete without showing anything. For the script check, after every script was read.
[[nodiscard]] std::vector<std::u16string> SpeakersWithoutDialog(const ParseManager& parser);

} // namespace Vel
