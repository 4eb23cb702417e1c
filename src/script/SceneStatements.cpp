#include "script/SceneStatements.h"

#include "commands/SetInterfaceCommand.h"
#include "scene/CommandContainer.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "script/CommandLine.h"
#include "script/ParseManager.h"
#include "script/RequireManager.h"
#include "script/ScriptError.h"
#include "script/ScriptLinter.h"

#include <memory>

namespace Vel {

namespace {

void BeginScene(ParseManager& parser, CommandLine& line)
{
    // Without a scenes manager the scene would have no owner.
    Scene* scene = RequireManager<ScenesManager>(u"beginscene").CreateScene(line.GetArgument(0));
    // Command statements cast the block object back to this base.
    parser.PushBlock(BlockKind::CommandContainer, static_cast<CommandContainer*>(scene));
}

void BeginInterface(ParseManager& parser, CommandLine& line)
{
    Scene* scene = RequireManager<ScenesManager>(u"begininterface").CreateInterfaceScene(line.GetArgument(0));
    parser.PushBlock(BlockKind::CommandContainer, static_cast<CommandContainer*>(scene));
}

void AddInterface(ParseManager& parser, CommandLine& line)
{
    parser.TopBlockAs<CommandContainer>(BlockKind::CommandContainer, u"interface")
        .AddCommand(std::make_unique<SetInterfaceCommand>(line.GetArgument(0)));
    parser.Note(LintKind::Interface, line.GetArgument(0));
}

} // namespace

void RegisterSceneStatements(ParseManager& parser)
{
    parser.AddHandler(u"beginscene", [&parser](CommandLine& line) { BeginScene(parser, line); });
    parser.AddHandler(u"begininterface", [&parser](CommandLine& line) { BeginInterface(parser, line); });
    parser.AddHandler(u"interface", [&parser](CommandLine& line) { AddInterface(parser, line); });
}

} // namespace Vel
