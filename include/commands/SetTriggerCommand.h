#pragma once

#include "scene/Command.h"

#include <string>

namespace Vel {

// Gives a trigger a value (creating a game trigger when the name is new) and reports at once.
class SetTriggerCommand : public Command
{
public:
    SetTriggerCommand(std::u16string name, std::u16string value) : m_name(std::move(name)), m_value(std::move(value)) {}

    void Execute(Scene& scene) override;
    // "Set trigger-NAME=VALUE".
    [[nodiscard]] std::u16string GetDescription() const override;

private:
    std::u16string m_name;
    std::u16string m_value;
};

} // namespace Vel
