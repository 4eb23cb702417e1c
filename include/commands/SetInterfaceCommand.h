#pragma once

#include "scene/Command.h"

#include <string>

namespace Vel {

// Shows an interface scene over the story, started afresh unless it is shown already, and reports at once. An
// interface of that name that does not exist changes nothing; taking one off again is the clear command's work.
// An interface whose own list shows it leaves itself alone: it is running already.
class SetInterfaceCommand : public Command
{
public:
    explicit SetInterfaceCommand(std::u16string interfaceName) : m_interfaceName(std::move(interfaceName)) {}

    void Execute(Scene& scene) override;
    // "Set interface-NAME".
    [[nodiscard]] std::u16string GetDescription() const override;

private:
    std::u16string m_interfaceName;
};

} // namespace Vel
