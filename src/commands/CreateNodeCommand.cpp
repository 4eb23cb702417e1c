#include "commands/CreateNodeCommand.h"

#include "scene/Scene.h"
#include "scene/SceneNode.h"

namespace Vel {

CreateNodeCommand::~CreateNodeCommand()
{
    WithdrawFinishHandler();
}

void CreateNodeCommand::Execute(Scene& scene)
{
    m_done = false;
    SceneNode* node = scene.CreateNode(m_placement.name, m_placement.layer, m_placement.group);
    const bool created = node != nullptr;
    if (!created)
        node = scene.FindNode(m_placement.name);
    if (node != nullptr) {
        if (m_placement.x != kKeepPosition && m_placement.y != kKeepPosition)
            node->MoveTo(m_placement.x, m_placement.y);
        if (created)
            node->SetOpacity(m_placement.opacity);
        if (!m_placement.visible)
            node->Hide();
        if (created)
            node->SetResource(m_placement.resource);
    }
    const bool awaitPicture = GetWait() && created && m_placement.resource != nullptr;
    if (awaitPicture)
        ++m_pending;
    Command::Execute(scene);
    if (awaitPicture) {
        // A run that starts again before the last one's picture finished waits only for the new finish.
        WithdrawFinishHandler();
        m_token = m_placement.resource->SetFinishHandler(Guarded(&CreateNodeCommand::OnPictureFinished));
        return;
    }
    if (m_pending == 0 && !m_done)
        Complete();
}

void CreateNodeCommand::OnPictureFinished()
{
    m_token = 0;
    OnChildFinished();
}

void CreateNodeCommand::WithdrawFinishHandler()
{
    if (m_token != 0 && m_placement.resource != nullptr)
        m_placement.resource->RemoveFinishHandler(m_token);
    m_token = 0;
}

} // namespace Vel
