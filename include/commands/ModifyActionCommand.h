#pragma once

#include "scene/Command.h"

#include <memory>
#include <string>
#include <utility>

namespace Vel {

class Action;

// Gives a node the action it runs when clicked. The command and every node it installed the action on share it,
// so the action lives as long as the last of them. A missing node is no error; the command always reports at once.
class ModifyActionCommand : public Command
{
public:
    // action may be null: the node then does nothing when clicked.
    ModifyActionCommand(std::u16string node, std::shared_ptr<Action> action)
        : m_node(std::move(node)), m_action(std::move(action))
    {
    }

    void Execute(Scene& scene) override;
    [[nodiscard]] std::u16string GetDescription() const override { return u"Action-" + m_node; }

private:
    std::u16string m_node;
    std::shared_ptr<Action> m_action;
};

} // namespace Vel
