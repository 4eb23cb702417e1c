#include "commands/SetMenuCommand.h"

#include "menus/MenuManager.h"

namespace Vel {

void SetMenuCommand::Execute(Scene& /*scene*/)
{
    MenuManager* menus = MenuManager::GetSingletonPtr();
    if (menus == nullptr) {
        Complete();
        return;
    }
    // A menu opened by a click action may close after the action (and this command) is gone.
    menus->ShowMenu(m_menuName, Guarded(&SetMenuCommand::Complete));
}

} // namespace Vel
