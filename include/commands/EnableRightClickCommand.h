#pragma once

#include "scene/Command.h"

namespace Vel {

// Switches the right-click menu on or off and reports at once.
class EnableRightClickCommand : public Command
{
public:
    explicit EnableRightClickCommand(bool enabled) : m_enabled(enabled) {}

    void Execute(Scene& scene) override;

private:
    bool m_enabled;
};

} // namespace Vel
