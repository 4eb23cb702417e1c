#pragma once

// The trigger declarations "sys_trigger(name)" and "gal_trigger(name)": they make a trigger persistent (a system or
// a gallery trigger, kept in the user folder across games and runs) at the moment they are parsed. They build no
// command and need no open block; the TriggerManager must exist when they are parsed.

namespace Vel {

class ParseManager;

void RegisterTriggerStatements(ParseManager& parser);

} // namespace Vel
