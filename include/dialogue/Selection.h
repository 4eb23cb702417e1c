#pragma once

// The choices a selection command offers: one text box per choice, its whole text shown at once. The dialogue
// manager shows the active selection over the story, the choice under the mouse opaque and the others dimmed; a
// click on a choice runs its action and then the selection's finish handler. Owned by its selection command.

#include "core/Callback.h"

#include <cstddef>
#include <cstdint>
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
    // Sets each choice's text as the current language says it; called each time the selection is offered.
    void ShowTexts();
    // Each call starts a new run of the selection: a choice clicked in an earlier run no longer reaches it.
    void SetFinishHandler(Callback<void()> handler);

    [[nodiscard]] const std::vector<std::unique_ptr<Textbox>>& GetChoices() const { return m_choices; }

private:
    [[nodiscard]] Callback<void()> FinishOfThisRun();
    void ShowText(std::size_t choice);

    Callback<void()> m_finish;
    std::uint64_t m_run = 0;
    struct Label
    {
        std::u16string text; // the game's own
        Style* style = nullptr;
    };

    std::vector<std::unique_ptr<Textbox>> m_choices;
    std::vector<Label> m_labels; // one per choice
};

} // namespace Vel
