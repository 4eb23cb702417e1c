#include "dialogue/Selection.h"

#include "data/Translations.h"

#include "dialogue/HistoryLog.h"
#include "dialogue/Textbox.h"
#include "scene/Action.h"

#include <utility>

namespace Vel {

namespace {

// What a choice does when it is taken: its text goes into the history log before its own commands run, since they
// may show the next lines at once; then the selection learns that the choice was taken, through the after-run
// callback every action has. The box belongs to the selection, which outlives its actions' runs.
class ChoiceAction final : public Action
{
public:
    ChoiceAction(std::shared_ptr<Action> commands, const Textbox& box) : m_commands(std::move(commands)), m_box(box) {}

private:
    void Perform() override
    {
        if (HistoryLog* history = HistoryLog::GetSingletonPtr())
            history->Add(nullptr, m_box, {});
        if (m_commands)
            m_commands->Run();
    }

    std::shared_ptr<Action> m_commands; // null for a choice that only closes the selection
    const Textbox& m_box;
};

} // namespace

Selection::Selection() = default;

Selection::~Selection() = default;

void Selection::AddChoice(std::shared_ptr<Action> action, const std::u16string& text, Style* style, float x, float y,
                          float width, float height)
{
    auto box = std::make_unique<Textbox>();
    auto chosen = std::make_shared<ChoiceAction>(std::move(action), *box);
    chosen->SetAfterRun(FinishOfThisRun());
    box->MoveTo(x, y);
    box->SetSize(width, height);
    box->SetAction(std::move(chosen));
    m_choices.push_back(std::move(box));
    m_labels.push_back({text, style});
    ShowText(m_choices.size() - 1);
}

void Selection::ShowTexts()
{
    for (std::size_t i = 0; i < m_choices.size(); ++i)
        ShowText(i);
}

void Selection::ShowText(std::size_t choice)
{
    // Shown whole at once and never completed by a click: the box's own hit test runs the action.
    m_choices[choice]->SetText(Translations::Get().Text({}, m_labels[choice].text), m_labels[choice].style, 0.0f,
                               nullptr, Textbox::TypingClick::Ignored, Textbox::ReadClick::Ignored);
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
