#pragma once

#include "scene/Command.h"
#include "scene/CommandContainer.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace Vel {

// A plain owned list of commands: the two branches of a condition (element 0 when it holds, 1 otherwise).
class Container : public CommandContainer
{
public:
    Container() = default;
    virtual ~Container() = default;

    void AddCommand(std::unique_ptr<Command> command) override;

    // nullptr past the end.
    [[nodiscard]] Command* Get(std::size_t index) const;
    [[nodiscard]] std::size_t GetCount() const { return m_commands.size(); }

private:
    std::vector<std::unique_ptr<Command>> m_commands;
};

} // namespace Vel
