#pragma once

#include "scene/Command.h"
#include "scene/Container.h"

#include <map>
#include <memory>
#include <string>

namespace Vel {

// Runs one of two commands depending on triggers. The condition holds when every named trigger's value equals its
// expected text exactly (an unset trigger reads as empty; an empty condition holds). The chosen command runs on its
// own, and the condition reports at once without waiting for it.
class IfThenElseCommand : public Command
{
public:
    using Condition = std::map<std::u16string, std::u16string>; // trigger name -> expected value

    // Either command may be null: nothing runs for that outcome.
    IfThenElseCommand(Condition condition, std::unique_ptr<Command> thenCommand, std::unique_ptr<Command> elseCommand);

    void Execute(Scene& scene) override;
    [[nodiscard]] std::u16string GetDescription() const override;

    [[nodiscard]] bool Holds() const;
    [[nodiscard]] const Condition& GetCondition() const { return m_condition; }
    [[nodiscard]] Command* GetThen() const { return m_branches.Get(0); }
    [[nodiscard]] Command* GetElse() const { return m_branches.Get(1); }

private:
    Condition m_condition;
    Container m_branches; // slot 0: when the condition holds, slot 1: otherwise; a slot may hold null
};

} // namespace Vel
