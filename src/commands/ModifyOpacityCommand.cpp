#include "commands/ModifyOpacityCommand.h"

#include "scene/OpacityAnimator.h"
#include "scene/SceneNode.h"

#include <memory>

namespace Vel {

void ModifyOpacityCommand::Execute(Scene& scene)
{
    AnimateNode(scene, m_node, [this](AnimationObject& target) -> std::unique_ptr<Animator> {
        return std::make_unique<OpacityAnimator>(target, m_from, m_to, m_duration);
    });
}

} // namespace Vel
