#pragma once

// The statements for characters. "begincharacter(name)" opens a character block in the resource registry, in which
// "pose(name, idle=, speak=, avatar=)", "avatar(align=x:y, default=)" and "dialog(textbox=, namebox=, namestyle=,
// style=, name=)" fill the character at once; "character(name, pose=..., placement...)" switches the character's
// pose now and, with placement attributes or a pose, adds a node command that places it in the running scene and
// changes its pose there. Pictures and styles are looked up by name, so they must be defined before.

namespace Vel {

class ParseManager;

void RegisterCharacterStatements(ParseManager& parser);

} // namespace Vel
