#include "dialogue/DialogManager.h"

#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "dialogue/Selection.h"
#include "dialogue/Textbox.h"
#include "platform/FrameActivity.h"
#include "scene/Action.h"
#include "scene/ClickGate.h"

#include <cstdint>
#include <utility>
#include <vector>

namespace Vel {

namespace {

constexpr float kChosenOpacity = 1.0f;
constexpr float kDimmedOpacity = 0.7f;

struct Mouse
{
    float x = kUnset;
    float y = kUnset;
    bool clicked = false;
};

// The left click through the click gate, and where the mouse is in game coordinates; nowhere while it is outside
// the window.
Mouse ReadMouse()
{
    Mouse mouse;
    HGE* hge = HgeManager::Interface();
    if (hge == nullptr)
        return mouse;
    mouse.clicked = ClickGate::Left().Accept(hge->Input_GetKeyState(HGEK_LBUTTON));
    if (hge->Input_IsMouseOver()) {
        hge->Input_GetMousePos(&mouse.x, &mouse.y);
        ScreenToGame(mouse.x, mouse.y);
    }
    return mouse;
}

// An entry with a clickable rectangle; a question written as an entry without height is none, and the keyboard
// passes it by as the mouse does.
bool IsChoosable(Textbox& entry)
{
    return entry.GetWidth() > 0.0f && entry.GetHeight() > 0.0f;
}

// The index of the n-th choosable entry (from 1); -1 when there are fewer.
int NthChoosable(const Selection& selection, int number)
{
    const auto& entries = selection.GetChoices();
    for (std::size_t entry = 0; entry < entries.size(); ++entry) {
        if (IsChoosable(*entries[entry]) && --number == 0)
            return static_cast<int>(entry);
    }
    return -1;
}

// The next choosable entry from `from` in the direction of step (1 or -1), round past the ends; from none (-1), the
// first. Stays at `from` when no other entry can be chosen.
int StepChoosable(const Selection& selection, int from, int step)
{
    if (from < 0)
        return NthChoosable(selection, 1);
    const auto count = static_cast<int>(selection.GetChoices().size());
    for (int moved = 1; moved < count; ++moved) {
        const int entry = ((from + step * moved) % count + count) % count;
        if (IsChoosable(*selection.GetChoices()[static_cast<std::size_t>(entry)]))
            return entry;
    }
    return from;
}

} // namespace

DialogManager::DialogManager() = default;

DialogManager::~DialogManager() = default;

Textbox* DialogManager::GetTextbox(const std::u16string& name)
{
    auto found = m_boxes.find(name);
    if (found == m_boxes.end()) {
        auto box = std::make_unique<Textbox>();
        box->SetName(name);
        found = m_boxes.emplace(name, std::move(box)).first;
    }
    return found->second.get();
}

Textbox* DialogManager::FindTextbox(const std::u16string& name) const
{
    const auto found = m_boxes.find(name);
    return found == m_boxes.end() ? nullptr : found->second.get();
}

void DialogManager::Update(float dt)
{
    for (auto& [name, box] : m_boxes)
        box->Update(dt);
    if (m_selectionActive && m_selection != nullptr) {
        for (const auto& choice : m_selection->GetChoices())
            choice->Update(dt);
    }
}

bool DialogManager::HandleInput(Advancing advancing, MouseReach reach)
{
    if (m_hidden)
        return false;
    Mouse mouse = reach == MouseReach::Open ? ReadMouse() : Mouse();
    bool advance = advancing != Advancing::No;
    // The click reaches the texts that were there before a choice took it, but not a text that the choice's story
    // put up in this very frame: that one is read from its first letter.
    const std::uint64_t textsBefore = Textbox::LastTextSerial();
    bool taken = false;
    if (m_selectionActive && m_selection != nullptr) {
        // Enter on a focused entry, or a digit, is the choosing itself, which spends the frame's input; while an
        // entry has the focus, Enter is meant for it and never advances the text behind.
        if (TakeChoiceKeys(advancing))
            return true;
        if (m_choiceFocus >= 0)
            advance = false;
    }
    if (m_selectionActive && m_selection != nullptr) {
        // By index: the action of a clicked choice may end the selection or start another one.
        Selection* selection = m_selection;
        const auto& choices = selection->GetChoices();
        for (std::size_t i = 0; i < choices.size() && m_selection == selection; ++i) {
            Textbox& choice = *choices[i];
            const bool lit = choice.TestMouse(mouse.x, mouse.y, mouse.clicked) || static_cast<int>(i) == m_choiceFocus;
            choice.SetOpacity(lit ? kChosenOpacity : kDimmedOpacity);
        }
        taken = true;
    }
    // A map's iterators survive the boxes a handler may create; one click acts on one box at most. An advance and
    // a click in one frame are one act, taken by the text first; the advance leaves the mouse to what lies under it.
    for (auto& [name, box] : m_boxes) {
        const bool before = box->GetTextSerial() <= textsBefore;
        if (advance && before && box->TakeClick()) {
            advance = false;
            mouse.clicked = false;
        }
        if (box->TestMouse(mouse.x, mouse.y, mouse.clicked && before)) {
            taken = true;
            mouse.clicked = false;
        }
    }
    return taken;
}

bool DialogManager::TakeChoiceKeys(Advancing advancing)
{
    const PlayerActions& actions = PlayerActions::Get();
    if (actions.MouseMoved())
        m_choiceFocus = -1;
    if (const int number = actions.ChosenNumber(); number > 0) {
        const int entry = NthChoosable(*m_selection, number);
        if (entry >= 0)
            Choose(static_cast<std::size_t>(entry));
        return entry >= 0;
    }
    const int before = m_choiceFocus;
    if (actions.Pressed(PlayerAction::FocusDown))
        m_choiceFocus = StepChoosable(*m_selection, m_choiceFocus, 1);
    if (actions.Pressed(PlayerAction::FocusUp))
        m_choiceFocus = StepChoosable(*m_selection, m_choiceFocus, -1);
    if (m_choiceFocus != before)
        FrameActivity::Changed();
    // The key that moved the focus this frame must not also choose; the focus has to be seen first.
    if (advancing == Advancing::Yes && before >= 0 && m_choiceFocus == before) {
        Choose(static_cast<std::size_t>(m_choiceFocus));
        return true;
    }
    return false;
}

std::vector<std::size_t> DialogManager::ChoosableEntries() const
{
    std::vector<std::size_t> entries;
    if (!IsChoosing())
        return entries;
    const auto& choices = m_selection->GetChoices();
    for (std::size_t entry = 0; entry < choices.size(); ++entry) {
        if (IsChoosable(*choices[entry]))
            entries.push_back(entry);
    }
    return entries;
}

void DialogManager::Choose(std::size_t entry)
{
    const std::shared_ptr<Action> action = m_selection->GetChoices()[entry]->GetAction();
    m_choiceFocus = -1;
    if (action)
        action->Run();
}

void DialogManager::Render()
{
    if (m_hidden)
        return;
    for (auto& [name, box] : m_boxes)
        box->Render();
    if (m_selectionActive && m_selection != nullptr) {
        for (const auto& choice : m_selection->GetChoices())
            choice->Render();
    }
}

void DialogManager::HideAll()
{
    for (auto& [name, box] : m_boxes)
        box->HideBox();
    if (m_selectionActive)
        FrameActivity::Changed();
    m_selectionActive = false;
    m_choiceFocus = -1;
}

void DialogManager::SetHidden(bool hidden)
{
    if (hidden == m_hidden)
        return;
    m_hidden = hidden;
    FrameActivity::Changed();
}

void DialogManager::CompleteAll()
{
    // Only the texts shown when the player asked: a handler lets the story go on, and the story may put a new text
    // into any box, which must be read, not skipped as well.
    std::vector<std::pair<Textbox*, std::uint64_t>> shown;
    for (auto& [name, box] : m_boxes) {
        if (box->IsVisible())
            shown.emplace_back(box.get(), box->GetTextSerial());
    }
    for (const auto& [box, serial] : shown) {
        if (!box->IsVisible() || box->GetTextSerial() != serial)
            continue;
        if (!box->IsComplete())
            box->CompleteText();
        const Callback<void()> handler = box->GetCompletionHandler();
        handler();
    }
}

void DialogManager::SetSelectionActive(bool active)
{
    m_selectionActive = active;
    if (!active)
        m_choiceFocus = -1;
}

void DialogManager::SetSelection(Selection* selection)
{
    m_selection = selection;
    m_choiceFocus = -1;
    m_selectionActive = selection != nullptr;
    FrameActivity::Changed();
}

} // namespace Vel
