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

// The condition in name order: "If-door=open,key=yes".
std::u16string IfThenElseCommand::GetDescription() const
{
    std::u16string text = u"If-";
    for (const auto& [name, value] : m_condition)
        text += (text.size() > 3 ? u"," : u"") + name + u"=" + value;
    return text;
}

} // namespace Vel
