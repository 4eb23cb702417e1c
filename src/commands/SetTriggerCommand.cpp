#include "commands/SetTriggerCommand.h"

#include "scene/TriggerManager.h"

namespace Vel {

void SetTriggerCommand::Execute(Scene& /*scene*/)
{
    if (TriggerManager* triggers = TriggerManager::GetSingletonPtr())
        triggers->Set(m_name, m_value);
    Complete();
}

std::u16string SetTriggerCommand::GetDescription() const
{
    return u"Set trigger-" + m_name + u"=" + m_value;
}

} // namespace Vel
