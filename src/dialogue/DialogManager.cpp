#include "dialogue/DialogManager.h"

#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "dialogue/Selection.h"
#include "dialogue/Textbox.h"
#include "platform/FrameActivity.h"
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

bool DialogManager::HandleInput(Advancing advancing)
{
    if (m_hidden)
        return false;
    Mouse mouse = ReadMouse();
    bool advance = advancing != Advancing::No;
    // The click reaches the texts that were there before a choice took it, but not a text that the choice's story
    // put up in this very frame: that one is read from its first letter.
    const std::uint64_t textsBefore = Textbox::LastTextSerial();
    bool taken = false;
    if (m_selectionActive && m_selection != nullptr) {
        // By index: the action of a clicked choice may end the selection or start another one.
        Selection* selection = m_selection;
        const auto& choices = selection->GetChoices();
        for (std::size_t i = 0; i < choices.size() && m_selection == selection; ++i) {
            Textbox& choice = *choices[i];
            choice.SetOpacity(choice.TestMouse(mouse.x, mouse.y, mouse.clicked) ? kChosenOpacity : kDimmedOpacity);
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

void DialogManager::SetSelection(Selection* selection)
{
    m_selection = selection;
    m_selectionActive = selection != nullptr;
    FrameActivity::Changed();
}

} // namespace Vel
