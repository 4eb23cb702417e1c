#include "commands/SetSwapCommand.h"

#include "scene/Scene.h"
#include "scene/SceneNode.h"

namespace Vel {

void SetSwapCommand::Execute(Scene& scene)
{
    SceneNode* first = scene.FindNode(m_firstNode);
    SceneNode* second = first != nullptr ? scene.FindNode(m_secondNode) : nullptr;
    if (second != nullptr) {
        first->SetHoverTarget(second);
        second->Hide();
        second->SetLeaveTarget(first);
        first->Show();
    }
    Complete();
}

} // namespace Vel
