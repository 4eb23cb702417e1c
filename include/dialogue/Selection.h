#pragma once

// The choices a selection command offers: one text box per choice, its whole text shown at once. The dialogue
// manager shows the active selection over the story, the choice under the mouse opaque and the others dimmed; a
// click on a choice runs its action and then the selection's finish handler. Owned by its selection command.

#include "core/Callback.h"

#include <memory>
#include <string>
#include <vector>

namespace Vel {

class Action;
class Style;
class Textbox;

class Selection
{
public:
    Selection();
    virtual ~Selection();
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

    // action may be null (a choice that only closes the selection); style may be null.
    void AddChoice(std::shared_ptr<Action> action, const std::u16string& text, Style* style, float x, float y,
                   float width, float height);
    void SetFinishHandler(Callback<void()> handler) { m_finish = std::move(handler); }

    [[nodiscard]] const std::vector<std::unique_ptr<Textbox>>& GetChoices() const { return m_choices; }

private:
    void OnChoiceRun();

    Callback<void()> m_finish;
    std::vector<std::unique_ptr<Textbox>> m_choices;
};

} // namespace Vel
