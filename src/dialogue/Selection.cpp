#include "dialogue/Selection.h"

#include "dialogue/Textbox.h"
#include "scene/Action.h"

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
    action->SetAfterRun(Callback<void()>(this, &Selection::OnChoiceRun));
    auto box = std::make_unique<Textbox>();
    box->MoveTo(x, y);
    box->SetSize(width, height);
    box->SetAction(std::move(action));
    // Shown whole at once and never completed by a click: the box's own hit test runs the action.
    box->SetText(text, style, 0.0f, nullptr, Textbox::TypingClick::Ignored, Textbox::ReadClick::Ignored);
    m_choices.push_back(std::move(box));
}

void Selection::OnChoiceRun()
{
    // A copy: the finish step may set a new handler.
    const Callback<void()> finish = m_finish;
    finish();
}

} // namespace Vel
