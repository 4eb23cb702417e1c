#pragma once

#include "scene/Command.h"

#include <string>
#include <utility>

namespace Vel {

// Fades a node from one opacity to another. Waiting, it reports when the fade ends; otherwise at once while the
// fade goes on. A node that does not exist is no error: the command reports at once.
class ModifyOpacityCommand : public Command
{
public:
    // Opacities 0..1; duration in seconds.
    ModifyOpacityCommand(std::u16string node, float from, float to, float duration)
        : m_node(std::move(node)), m_from(from), m_to(to), m_duration(duration)
    {
    }

    void Execute(Scene& scene) override;
    [[nodiscard]] std::u16string GetDescription() const override { return u"Fade-" + m_node; }

private:
    std::u16string m_node;
    float m_from;
    float m_to;
    float m_duration;
};

} // namespace Vel
