#include "commands/ModifyOpacityCommand.h"

#include "scene/OpacityAnimator.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

#include <memory>

namespace Vel {

void ModifyOpacityCommand::Execute(Scene& scene)
{
    SceneNode* node = scene.FindNode(m_node);
    if (node == nullptr) {
        Complete();
        return;
    }
    auto fade = std::make_unique<OpacityAnimator>(*node, m_from, m_to, m_duration);
    if (!GetWait()) {
        node->AddAnimator(std::move(fade));
        Complete();
        return;
    }
    // Guarded: the node and its animator may outlive a command run by a click action.
    fade->SetFinishCallback(Guarded(&ModifyOpacityCommand::Complete));
    node->AddAnimator(std::move(fade));
}

} // namespace Vel
