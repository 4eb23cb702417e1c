#include "commands/CreateNodeCommand.h"

#include "core/NameTable.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

namespace Vel {

CreateNodeCommand::CreateNodeCommand(const Placement& placement)
    : m_name(&NameTable::Intern(placement.name)), m_group(&NameTable::Intern(placement.group)),
      m_resource(placement.resource), m_x(placement.x), m_y(placement.y), m_opacity(placement.opacity),
      m_layer(placement.layer), m_visible(placement.visible)
{
}

CreateNodeCommand::~CreateNodeCommand()
{
    WithdrawFinishHandler();
}

void CreateNodeCommand::Execute(Scene& scene)
{
    m_done = false;
    SceneNode* node = scene.CreateNode(*m_name, m_layer, *m_group);
    const bool created = node != nullptr;
    if (!created)
        node = scene.FindNode(*m_name);
    if (node != nullptr) {
        if (m_x != kKeepPosition && m_y != kKeepPosition)
            node->MoveTo(m_x, m_y);
        if (created)
            node->SetOpacity(m_opacity);
        if (!m_visible)
            node->Hide();
        if (created)
            node->SetResource(m_resource);
    }
    const bool awaitPicture = GetWait() && created && m_resource != nullptr;
    if (awaitPicture)
        ++m_pending;
    Command::Execute(scene);
    if (awaitPicture) {
        // A run that starts again before the last one's picture finished waits only for the new finish.
        WithdrawFinishHandler();
        m_token = m_resource->SetFinishHandler(Guarded(&CreateNodeCommand::OnPictureFinished));
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
    if (m_token != 0 && m_resource != nullptr)
        m_resource->RemoveFinishHandler(m_token);
    m_token = 0;
}

} // namespace Vel
