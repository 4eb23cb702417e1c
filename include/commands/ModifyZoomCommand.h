#pragma once

#include "scene/Command.h"

#include <string>
#include <utility>

namespace Vel {

// Zooms a node by a factor relative to its zoom when the animation first runs, about its top-left corner or its
// centre. Waiting, it reports when the zoom ends; otherwise at once. A missing node: the command reports at once.
class ModifyZoomCommand : public Command
{
public:
    // duration in seconds.
    ModifyZoomCommand(std::u16string node, float factor, float duration, bool keepCentre)
        : m_node(std::move(node)), m_factor(factor), m_duration(duration), m_keepCentre(keepCentre)
    {
    }

    void Execute(Scene& scene) override;
    [[nodiscard]] std::u16string GetDescription() const override { return u"Zoom-" + m_node; }

private:
    std::u16string m_node;
    float m_factor;
    float m_duration;
    bool m_keepCentre;
};

} // namespace Vel
