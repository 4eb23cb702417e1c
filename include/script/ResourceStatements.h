#pragma once

// The statements that define pictures: "object" (a sprite), "beginanim" (opens an animation block), "frame"
// (adds a frame to the open animation) and "nineslice" (a picture stretched by its borders). They act at once on the
// ResourceManager's get-or-create registry, so a script may name a picture before defining it; the ResourceManager must
// exist when they are parsed.

namespace Vel {

class ParseManager;

void RegisterResourceStatements(ParseManager& parser);

} // namespace Vel
