#include "dialogue/Selection.h"

#include "dialogue/Textbox.h"
#include "scene/Action.h"

#include <utility>

namespace Vel {

namespace {

// The action of a choice that has no commands of its own: running it only tells the selection that the choice was
// taken, through the after-run callback every action has.
class ChooseOnlyAction final : public Action
{
private:
    void Perform() override {}
};

} // namespace

Selection::Selection() = default;

Selection::~Selection() = default;

void Selection::AddChoice(std::shared_ptr<Action> action, const std::u16string& text, Style* style, float x, float y,
                          float width, float height)
{
    if (!action)
        action = std::make_shared<ChooseOnlyAction>();
    action->SetAfterRun(FinishOfThisRun());
    auto box = std::make_unique<Textbox>();
    box->MoveTo(x, y);
    box->SetSize(width, height);
    box->SetAction(std::move(action));
    // Shown whole at once and never completed by a click: the box's own hit test runs the action.
    box->SetText(text, style, 0.0f, nullptr, Textbox::TypingClick::Ignored, Textbox::ReadClick::Ignored);
    m_choices.push_back(std::move(box));
}

void Selection::SetFinishHandler(Callback<void()> handler)
{
    m_finish = std::move(handler);
    ++m_run;
    for (const std::unique_ptr<Textbox>& choice : m_choices) {
        if (const std::shared_ptr<Action>& action = choice->GetAction())
            action->SetAfterRun(FinishOfThisRun());
    }
}

// An action keeps the after-run callback it had when it was clicked. A choice whose commands showed this selection
// again (a jump back to its own scene) belongs to the run before: the new run waits for a click of its own.
Callback<void()> Selection::FinishOfThisRun()
{
    return Callback<void()>([this, run = m_run] {
        if (run != m_run)
            return;
        // A copy: the finish step may set a new handler.
        const Callback<void()> finish = m_finish;
        finish();
    });
}

} // namespace Vel
