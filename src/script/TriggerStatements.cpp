#include "script/TriggerStatements.h"

#include "core/TextCodec.h"
#include "scene/TriggerManager.h"
#include "script/CommandLine.h"
#include "script/ParseManager.h"
#include "script/RequireManager.h"
#include "script/ScriptError.h"

#include <string>
#include <string_view>

namespace Vel {

namespace {

void Declare(std::u16string_view statement, const CommandLine& line, TriggerKind kind)
{
    RequireManager<TriggerManager>(statement).SetKind(line.GetArgument(0), kind);
}

} // namespace

void RegisterTriggerStatements(ParseManager& parser)
{
    parser.AddHandler(u"sys_trigger", [](CommandLine& line) { Declare(u"sys_trigger", line, TriggerKind::System); });
    parser.AddHandler(u"gal_trigger", [](CommandLine& line) { Declare(u"gal_trigger", line, TriggerKind::Gallery); });
}

} // namespace Vel
