#pragma once

#include "scene/Command.h"

#include <string>
#include <utility>

namespace Vel {

// Pairs two nodes of the running scene into a hover swap: the second node replaces the first while the mouse is
// over it, and the first comes back when the mouse leaves. The second starts hidden and the first shown. When
// either node is missing nothing changes. Reports at once.
class SetSwapCommand : public Command
{
public:
    SetSwapCommand(std::u16string firstNode, std::u16string secondNode)
        : m_firstNode(std::move(firstNode)), m_secondNode(std::move(secondNode))
    {
    }

    void Execute(Scene& scene) override;
    [[nodiscard]] std::u16string GetDescription() const override { return u"Set swap"; }

private:
    std::u16string m_firstNode;
    std::u16string m_secondNode;
};

} // namespace Vel
