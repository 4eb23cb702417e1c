#include "commands/SetInterfaceCommand.h"

#include "scene/ScenesManager.h"

namespace Vel {

void SetInterfaceCommand::Execute(Scene& scene)
{
    ScenesManager* scenes = ScenesManager::GetSingletonPtr();
    // The manager counts an interface as shown only once its start returns, so an interface that shows itself
    // from its opening commands would reset and start itself again without end.
    if (scenes != nullptr && scenes->FindInterfaceScene(m_interfaceName) != &scene)
        scenes->LaunchInterface(m_interfaceName);
    Complete();
}

std::u16string SetInterfaceCommand::GetDescription() const
{
    return u"Set interface-" + m_interfaceName;
}

} // namespace Vel
