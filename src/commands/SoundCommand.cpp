#include "commands/SoundCommand.h"

#include "sound/SoundManager.h"

namespace Vel {

void SoundCommand::Execute(Scene& /*scene*/)
{
    if (SoundManager* sound = SoundManager::GetSingletonPtr())
        Apply(*sound);
    Complete();
}

} // namespace Vel
