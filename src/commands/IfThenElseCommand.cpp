#include "commands/IfThenElseCommand.h"

#include "scene/TriggerManager.h"

#include <utility>

namespace Vel {

IfThenElseCommand::IfThenElseCommand(Condition condition, std::unique_ptr<Command> thenCommand,
                                     std::unique_ptr<Command> elseCommand)
    : m_condition(std::move(condition))
{
    // Both slots are always filled, so an empty then-part never moves the else-command into the first slot.
    m_branches.AddCommand(std::move(thenCommand));
    m_branches.AddCommand(std::move(elseCommand));
}

bool IfThenElseCommand::Holds() const
{
    const TriggerManager* triggers = TriggerManager::GetSingletonPtr();
    for (const auto& [name, expected] : m_condition) {
        const std::u16string value = triggers != nullptr ? triggers->Get(name) : std::u16string();
        if (value != expected)
            return false;
    }
    return true;
}

void IfThenElseCommand::Execute(Scene& scene)
{
    if (Command* branch = Holds() ? GetThen() : GetElse())
        branch->Execute(scene);
    Complete();
}

} // namespace Vel
