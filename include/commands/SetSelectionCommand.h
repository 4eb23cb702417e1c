#pragma once

#include "scene/Command.h"

#include <memory>
#include <string>

namespace Vel {

class Action;
class Selection;
class Style;

// Offers the reader a choice: the command's selection becomes the DialogManager's active one, and the command
// reports once a choice has been clicked (after the choice's own action ran), never within Execute, whatever its
// wait flag. The command owns the selection; the parser adds the choices.
class SetSelectionCommand : public Command
{
public:
    SetSelectionCommand();
    ~SetSelectionCommand() override;

    // Forwards to the selection; action and style may be null.
    void AddChoice(std::shared_ptr<Action> action, const std::u16string& text, Style* style, float x, float y,
                   float width, float height);

    void Execute(Scene& scene) override;
    // "Selection".
    [[nodiscard]] std::u16string GetDescription() const override;

    [[nodiscard]] Selection& GetSelection() const { return *m_selection; }

private:
    void OnChoiceMade();

    std::unique_ptr<Selection> m_selection;
};

} // namespace Vel
