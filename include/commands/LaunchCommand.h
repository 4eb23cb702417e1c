#pragma once

#include "scene/Command.h"

#include <string>

namespace Vel {

// Hands a document or web address to the operating system's opener through the 2D library and reports at once.
// The platform refuses texts that an opener could read as an option (a leading "-"); without the library nothing
// is launched.
class LaunchCommand : public Command
{
public:
    explicit LaunchCommand(std::u16string target) : m_target(std::move(target)) {}

    void Execute(Scene& scene) override;
    [[nodiscard]] std::u16string GetDescription() const override { return u"Launch-" + m_target; }

private:
    std::u16string m_target;
};

} // namespace Vel
