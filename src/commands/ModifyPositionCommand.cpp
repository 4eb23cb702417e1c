#include "commands/ModifyPositionCommand.h"

#include "scene/MoveAnimator.h"
#include "scene/SceneNode.h"

#include <memory>

namespace Vel {

void ModifyPositionCommand::Execute(Scene& scene)
{
    AnimateNode(scene, m_node, [this](SceneNode& target) -> std::unique_ptr<Animator> {
        return std::make_unique<MoveAnimator>(target, m_from.x, m_from.y, m_to.x, m_to.y, m_duration);
    });
}

} // namespace Vel
