#include "scene/Container.h"

#include <utility>

namespace Vel {

void Container::AddCommand(std::unique_ptr<Command> command)
{
    m_commands.push_back(std::move(command));
}

Command* Container::Get(std::size_t index) const
{
    return index < m_commands.size() ? m_commands[index].get() : nullptr;
}

} // namespace Vel
