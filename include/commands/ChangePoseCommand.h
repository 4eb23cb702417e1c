#pragma once

#include "scene/Command.h"

#include <string>
#include <utility>

namespace Vel {

// Switches a character to one of its poses and reports at once. A pose name the character does not have changes
// nothing.
class ChangePoseCommand : public Command
{
public:
    ChangePoseCommand(std::u16string character, std::u16string pose)
        : m_character(std::move(character)), m_pose(std::move(pose))
    {
    }

    void Execute(Scene& scene) override;
    [[nodiscard]] std::u16string GetDescription() const override { return u"Pose-" + m_character + u"=" + m_pose; }

private:
    std::u16string m_character;
    std::u16string m_pose;
};

} // namespace Vel
