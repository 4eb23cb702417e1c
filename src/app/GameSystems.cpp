#include "app/GameSystems.h"

namespace Vel {

GameSystems::GameSystems()
{
    scenes.SetDialogueLayer(&dialogue);
    scenes.SetMenuLayer(&menus);
}

} // namespace Vel
