#pragma once

// The statements that put pictures on the stage: "animation(name, ...)" and the placing part of "object", which add
// a node command when they carry placement attributes (layer, align, opacity, zoom, zoomc), "move(name, ...)" and
// "clear(target)". The node command carries the fade, zoom and click action its statement asks for. A placing
// statement outside any block is the script error "Node command out of scene"; the others need an open command
// container like every command statement.

#include "scene/Command.h"

#include <memory>
#include <string>

namespace Vel {

class CommandLine;
class ParseManager;
class Resource;

// Whether the node a picture statement places shows at once; a swap picture waits hidden for the mouse.
enum class NodeVisibility
{
    Shown,
    Hidden,
};

// The node step of a picture statement: when the line carries placement attributes, builds the node command for
// the resource (named by argument 1) and adds it to the command container on top of the block stack. Does nothing
// otherwise, so a plain definition is allowed outside any block. A character's pose change is attached after the
// other commands, and places the node on its own.
void AddNodeCommand(ParseManager& parser, const CommandLine& line, Resource* resource, const std::u16string& group,
                    NodeVisibility visibility, std::unique_ptr<Command> poseChange = nullptr);

void RegisterNodeStatements(ParseManager& parser);

} // namespace Vel
