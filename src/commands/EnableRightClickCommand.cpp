#include "commands/EnableRightClickCommand.h"

#include "scene/ScenesManager.h"

namespace Vel {

void EnableRightClickCommand::Execute(Scene& /*scene*/)
{
    if (ScenesManager* scenes = ScenesManager::GetSingletonPtr())
        scenes->SetRightClickEnabled(m_enabled);
    Complete();
}

} // namespace Vel
