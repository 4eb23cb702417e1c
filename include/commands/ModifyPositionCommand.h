#pragma once

#include "scene/Command.h"

#include <string>
#include <utility>

namespace Vel {

// Moves a node from one point to another. Waiting, it reports when the move ends; otherwise at once while the node
// keeps moving. A node that does not exist is no error: the command reports at once.
class ModifyPositionCommand : public Command
{
public:
    struct Point
    {
        float x = 0.0f;
        float y = 0.0f;
    };

    // duration in seconds.
    ModifyPositionCommand(std::u16string node, Point from, Point to, float duration)
        : m_node(std::move(node)), m_from(from), m_to(to), m_duration(duration)
    {
    }

    void Execute(Scene& scene) override;
    // "Move-" and the node's name.
    [[nodiscard]] std::u16string GetDescription() const override { return u"Move-" + m_node; }

private:
    std::u16string m_node;
    Point m_from;
    Point m_to;
    float m_duration;
};

} // namespace Vel
