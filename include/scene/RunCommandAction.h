#pragma once

#include "scene/Action.h"

#include <memory>

namespace Vel {

class Command;

// Starts a command on the current scene (CurrentScene) when clicked. The command belongs to no list: its report goes
// nowhere, and a click may start it again while it still runs.
class RunCommandAction : public Action
{
public:
    explicit RunCommandAction(std::unique_ptr<Command> command);
    ~RunCommandAction() override;

private:
    void Perform() override;

    std::unique_ptr<Command> m_command;
};

} // namespace Vel
