#pragma once

#include "scene/Command.h"

namespace Vel {

// Switches the right-click menu on or off and reports at once.
class EnableRightClickCommand : public Command
{
public:
    explicit EnableRightClickCommand(bool enabled) : m_enabled(enabled) {}

    void Execute(Scene& scene) override;
    [[nodiscard]] std::u16string GetDescription() const override { return m_enabled ? u"Right click-on" : u"Right click-off"; }

private:
    bool m_enabled;
};

} // namespace Vel
