#pragma once

// The statements for choices inside a scene. "beginselection" adds a selection command to the command container on
// top of the block stack and opens it as a choice block; each "entry(text=, style=, align=x:y, size=w:h, action=)"
// adds a choice to it. A selection closed by "end" without any entry is a script error, as it would wait forever.

namespace Vel {

class ParseManager;

void RegisterSelectionStatements(ParseManager& parser);

} // namespace Vel
