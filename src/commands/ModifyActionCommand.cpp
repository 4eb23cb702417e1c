#include "commands/ModifyActionCommand.h"

#include "scene/Action.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

namespace Vel {

void ModifyActionCommand::Execute(Scene& scene)
{
    if (SceneNode* node = scene.FindNode(m_node))
        node->SetAction(m_action);
    Complete();
}

} // namespace Vel
