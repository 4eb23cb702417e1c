#pragma once

// The flow and timing statements: "pause", "delay(ms)", "goto(scene)", "href(target)", "rightclick(flag)",
// "set(trigger, value)" and the line form "if COND then A else B". Each builds one command and adds it to the
// command container on top of the block stack (a scene, an interface, a menu, an action's container); outside one
// they are script errors naming the statement. A conditional's branches are single statements parsed through the
// ParseManager, each kept in its own slot.

namespace Vel {

class ParseManager;

void RegisterFlowStatements(ParseManager& parser);

} // namespace Vel
