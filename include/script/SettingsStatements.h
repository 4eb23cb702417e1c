#pragma once

// The statements that configure the game as a whole: graphics_init, game_init, menus and start_scene. They write
// the process-wide DisplaySettings and GameNames at once, so a later statement overwrites an earlier one.

namespace Vel {

class ParseManager;

void RegisterSettingsStatements(ParseManager& parser);

} // namespace Vel
