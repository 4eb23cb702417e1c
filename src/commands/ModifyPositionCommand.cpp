#include "commands/ModifyPositionCommand.h"

#include "scene/MoveAnimator.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

#include <memory>

namespace Vel {

void ModifyPositionCommand::Execute(Scene& scene)
{
    SceneNode* node = scene.FindNode(m_node);
    if (node == nullptr) {
        Complete();
        return;
    }
    auto move = std::make_unique<MoveAnimator>(*node, m_from.x, m_from.y, m_to.x, m_to.y, m_duration);
    if (!GetWait()) {
        node->AddAnimator(std::move(move));
        Complete();
        return;
    }
    move->SetFinishCallback(Guarded(&ModifyPositionCommand::Complete));
    node->AddAnimator(std::move(move));
}

} // namespace Vel
