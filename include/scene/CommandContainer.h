#pragma once

#include <memory>

namespace Vel {

class Command;

// Whatever the parser appends a block's commands to: a scene, a menu, the branches of a condition.
class CommandContainer
{
public:
    // Appends the command and takes it over.
    virtual void AddCommand(std::unique_ptr<Command> command) = 0;

protected:
    CommandContainer() = default;
    ~CommandContainer() = default;
    CommandContainer(const CommandContainer&) = default;
    CommandContainer& operator=(const CommandContainer&) = default;
};

} // namespace Vel
