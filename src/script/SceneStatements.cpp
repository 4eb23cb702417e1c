#include "script/SceneStatements.h"

#include "scene/CommandContainer.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "script/CommandLine.h"
#include "script/ParseManager.h"
#include "script/ScriptError.h"

namespace Vel {

namespace {

void BeginScene(ParseManager& parser, CommandLine& line)
{
    // Without a scenes manager the scene would have no owner.
    ScenesManager* scenes = ScenesManager::GetSingletonPtr();
    if (scenes == nullptr)
        throw ScriptError("beginscene cannot define scenes before the game starts");
    Scene* scene = scenes->CreateScene(line.GetArgument(0));
    // Command statements cast the block object back to this base.
    parser.PushBlock(BlockKind::CommandContainer, static_cast<CommandContainer*>(scene));
}

} // namespace

void RegisterSceneStatements(ParseManager& parser)
{
    parser.AddHandler(u"beginscene", [&parser](CommandLine& line) { BeginScene(parser, line); });
}

} // namespace Vel
