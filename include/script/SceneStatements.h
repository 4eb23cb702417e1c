#pragma once

// The scene block: "beginscene(name)" (also written "begin scene(name)") creates a story scene through the
// ScenesManager, chained after the scene defined before it, and opens it as a command-container block for the
// command statements that follow, until "end". The ScenesManager must exist when it is parsed.

namespace Vel {

class ParseManager;

void RegisterSceneStatements(ParseManager& parser);

} // namespace Vel
