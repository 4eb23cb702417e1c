#include "menus/MenuSwitch.h"

#include "scene/TriggerManager.h"

namespace Vel {

void MenuSwitch::AddCase(const std::u16string& menu, const std::u16string& trigger, const std::u16string& value)
{
    m_cases[trigger] = Case{menu, value};
}

std::u16string MenuSwitch::GetMenuName() const
{
    const TriggerManager* triggers = TriggerManager::GetSingletonPtr();
    if (triggers == nullptr)
        return m_default;
    // The map's order decides between several matching cases: the trigger whose name sorts first wins.
    for (const auto& [trigger, entry] : m_cases) {
        if (triggers->Get(trigger) == entry.value)
            return entry.menu;
    }
    return m_default;
}

} // namespace Vel
