#include "commands/ChangePoseCommand.h"

#include "resources/Character.h"
#include "resources/ResourceManager.h"

namespace Vel {

void ChangePoseCommand::Execute(Scene&)
{
    if (ResourceManager* resources = ResourceManager::GetSingletonPtr())
        resources->GetCharacter(m_character)->SetPose(m_pose);
    Complete();
}

} // namespace Vel
