#include "commands/GotoCommand.h"

#include "scene/ScenesManager.h"

namespace Vel {

void GotoCommand::Execute(Scene& /*scene*/)
{
    ScenesManager* scenes = ScenesManager::GetSingletonPtr();
    if (scenes == nullptr)
        return;
    if (scenes->FindScene(m_sceneName) == nullptr) {
        ScenesManager::ReportError(ScenesManager::ErrorReport(m_file, m_line, u"Scene not found: " + m_sceneName));
        return;
    }
    // Interfaces go first: the target scene may show one of its own while it starts, and that one must stay.
    scenes->ClearInterfaces();
    scenes->StartScene(m_sceneName, SceneStart::Reset);
}

} // namespace Vel
