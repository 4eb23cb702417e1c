#include "commands/ModifyZoomCommand.h"

#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/ZoomAnimator.h"

#include <memory>

namespace Vel {

void ModifyZoomCommand::Execute(Scene& scene)
{
    SceneNode* node = scene.FindNode(m_node);
    if (node == nullptr) {
        Complete();
        return;
    }
    const auto anchor = m_keepCentre ? ZoomAnimator::Anchor::Centre : ZoomAnimator::Anchor::TopLeft;
    auto zoom = std::make_unique<ZoomAnimator>(*node, 1.0f, m_factor, m_duration, anchor);
    if (!GetWait()) {
        node->AddAnimator(std::move(zoom));
        Complete();
        return;
    }
    zoom->SetFinishCallback(Guarded(&ModifyZoomCommand::Complete));
    node->AddAnimator(std::move(zoom));
}

} // namespace Vel
