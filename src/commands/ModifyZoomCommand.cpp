#include "commands/ModifyZoomCommand.h"

#include "scene/SceneNode.h"
#include "scene/ZoomAnimator.h"

#include <memory>

namespace Vel {

void ModifyZoomCommand::Execute(Scene& scene)
{
    const auto anchor = m_keepCentre ? ZoomAnimator::Anchor::Centre : ZoomAnimator::Anchor::TopLeft;
    AnimateNode(scene, m_node, [this, anchor](AnimationObject& target) -> std::unique_ptr<Animator> {
        return std::make_unique<ZoomAnimator>(target, 1.0f, m_factor, m_duration, anchor);
    });
}

} // namespace Vel
