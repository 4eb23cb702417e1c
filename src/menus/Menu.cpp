#include "menus/Menu.h"

#include "core/TextCodec.h"
#include "menus/MenuManager.h"
#include "menus/Slider.h"
#include "platform/FrameActivity.h"
#include "resources/ResourceManager.h"
#include "resources/TextButtonLook.h"
#include "scene/Action.h"
#include "scene/Command.h"
#include "scene/PlayerActions.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

#include <string>
#include <utility>

namespace Vel {

namespace {

// Far outside any screen, and not the unset value, so the background is drawn from its draw position but never
// lies under the mouse.
constexpr float kOffScreen = -999999.0f;

constexpr std::int32_t kBackgroundLayer = 0;
constexpr std::int32_t kButtonLayer = 1;

void CloseTopMenu()
{
    if (MenuManager* manager = MenuManager::GetSingletonPtr())
        manager->CloseTop();
}

} // namespace

Menu::Menu(std::u16string name) : m_name(std::move(name)), m_scene(std::make_unique<Scene>())
{
    m_scene->SetName(m_name);
}

Menu::~Menu()
{
    // The scene first: its nodes' actions and animators may still point into the commands.
    m_scene.reset();
}

void Menu::AddCommand(std::unique_ptr<Command> command)
{
    m_scene->AddCommand(std::move(command));
}

void Menu::SetBackground(const std::u16string& picture)
{
    if (m_background == nullptr)
        m_background = m_scene->CreateNode(u"background", kBackgroundLayer, u"");
    if (m_background == nullptr)
        return;
    m_background->SetResource(ResourceManager::FindPicture(picture));
    m_background->SetDrawPosition(0.0f, 0.0f);
    m_background->MoveTo(kOffScreen, kOffScreen);
}

void Menu::AddButton(const std::u16string& picture, float x, float y, float width, float height,
                     std::shared_ptr<Action> action)
{
    ++m_buttonCount;
    const std::u16string id = u"button" + TextCodec::Widen(std::to_string(m_buttonCount));
    SceneNode* hot = m_scene->CreateNode(id, kButtonLayer, u"");
    SceneNode* swap = m_scene->CreateNode(id + u"swap", kButtonLayer, u"");
    if (hot == nullptr || swap == nullptr)
        return;
    hot->MoveTo(x, y);
    hot->SetHitSize(width, height);
    swap->MoveTo(x, y);
    swap->SetHitSize(width, height);
    swap->SetResource(ResourceManager::FindPicture(picture));
    swap->SetDrawPosition(0.0f, 0.0f);
    swap->SetAction(std::move(action));
    hot->SetHoverTarget(swap);
    m_buttons.push_back({hot, swap});
    swap->Hide();
    swap->SetLeaveTarget(hot);
    hot->Show();
}

std::vector<std::pair<std::u16string, std::shared_ptr<Action>>> Menu::GetButtonActions() const
{
    std::vector<std::pair<std::u16string, std::shared_ptr<Action>>> buttons;
    for (const Button& button : m_buttons) {
        if (button.swap->GetAction())
            buttons.emplace_back(button.idle != nullptr ? button.idle->GetLabel() : button.hot->GetName(),
                                 button.swap->GetAction());
    }
    return buttons;
}

bool Menu::AddTextButton(const std::u16string& name, std::unique_ptr<TextButtonLook> idle,
                         std::unique_ptr<TextButtonLook> hover, float x, float y, std::shared_ptr<Action> action)
{
    if (m_scene->FindNode(name) != nullptr || m_scene->FindNode(name + u"hover") != nullptr)
        return false;
    SceneNode* hot = m_scene->CreateNode(name, kButtonLayer, u"");
    if (hot == nullptr)
        return false;
    hot->MoveTo(x, y);
    hot->SetResource(idle.get());
    m_looks.push_back(std::move(idle));
    // Without an action it is a label: it never lights, takes no click and the keyboard's focus passes it by.
    if (!action) {
        hot->Show();
        return true;
    }
    SceneNode* swap = m_scene->CreateNode(name + u"hover", kButtonLayer, u"");
    if (swap == nullptr)
        return false;
    swap->MoveTo(x, y);
    swap->SetResource(hover.get());
    swap->SetAction(std::move(action));
    hot->SetHoverTarget(swap);
    m_buttons.push_back({hot, swap, m_looks.back().get(), hover.get()});
    m_looks.push_back(std::move(hover));
    swap->Hide();
    swap->SetLeaveTarget(hot);
    hot->Show();
    return true;
}

void Menu::AddSlider(std::unique_ptr<Slider> slider)
{
    if (slider)
        m_sliders.push_back(std::move(slider));
}

std::vector<Command*> Menu::AdoptSceneCommands()
{
    std::vector<Command*> taken;
    for (std::unique_ptr<Command>& command : m_scene->TakeCommands()) {
        taken.push_back(command.get());
        m_commands.push_back(std::move(command));
    }
    return taken;
}

void Menu::RunInit(const std::vector<Command*>& commands)
{
    // Nobody waits for the init commands: they report into nothing.
    for (Command* command : commands) {
        command->SetCompletion({});
        command->Execute(*m_scene);
    }
}

void Menu::CloseInit()
{
    const std::vector<Command*> taken = AdoptSceneCommands();
    m_initClosed = true;
    m_init.insert(m_init.end(), taken.begin(), taken.end());
    RunInit(taken);
}

void Menu::CloseOn()
{
    const std::vector<Command*> taken = AdoptSceneCommands();
    m_onClosed = true;
    m_on.insert(m_on.end(), taken.begin(), taken.end());
}

// What the script left unsorted is the off list. A block without "menu_off" also opens with it, and one without
// either statement is all body: it runs once as init too. The statements are remembered rather than read from
// the lists' emptiness, so a "menu_on" or "menu_off" that closed an empty list does not pull the rest into it.
void Menu::SortRemainingCommands()
{
    const std::vector<Command*> rest = AdoptSceneCommands();
    if (rest.empty())
        return;
    if (m_off.empty())
        m_off = rest;
    if (!m_onClosed)
        m_on = rest;
    if (!m_initClosed && !m_onClosed) {
        m_init = rest;
        RunInit(rest);
    }
}

void Menu::Show(Callback<void()> closed)
{
    m_closed = std::move(closed);
    const int before = std::exchange(m_focus, -1);
    FocusTextButton(before);
    SortRemainingCommands();
    if (m_on.empty())
        return;
    // The scene runs a copy it borrows; it starts element 0 at Start.
    m_scene->SetCommands(m_on);
    m_scene->SetFinishedCallback(Callback<void()>([this] { m_scene->SetCommands({}); }));
    m_scene->Start();
}

void Menu::Hide()
{
    if (m_off.empty()) {
        m_scene->SetCommands({});
        CloseTopMenu();
        return;
    }
    m_scene->SetCommands(m_off);
    m_scene->SetFinishedCallback(Callback<void()>([this] {
        m_scene->SetCommands({});
        m_scene->SetFinishedCallback({});
        CloseTopMenu();
    }));
    m_scene->Start();
}

Callback<void()> Menu::TakeClosedHandler()
{
    return std::exchange(m_closed, {});
}

void Menu::Update(float dt)
{
    if (TakeFocusKeys())
        return;
    for (const std::unique_ptr<Slider>& slider : m_sliders)
        slider->Update(dt);
    // A focused button's picture replaces the background as a hovered one does: translucent pictures are drawn alone.
    const bool taken = PictureButtonLit(m_scene->Update(dt, Scene::MouseAccess::Open));
    if (m_background == nullptr)
        return;
    if (!taken && !m_backgroundShown) {
        m_backgroundShown = true;
        m_background->Show();
    } else if (taken && m_backgroundShown) {
        m_backgroundShown = false;
        m_background->Hide();
    }
}

Menu::Button* Menu::ButtonAt(int index)
{
    return index >= 0 ? &m_buttons[static_cast<std::size_t>(index)] : nullptr;
}

// Whatever lights a text button leaves the background, and the mouse lights one button at a time.
bool Menu::PictureButtonLit(bool sceneTookMouse)
{
    if (const Button* focused = ButtonAt(m_focus); focused != nullptr && focused->idle == nullptr)
        return true;
    if (!sceneTookMouse)
        return false;
    for (const Button& button : m_buttons)
        if (button.idle != nullptr && button.swap->IsVisible())
            return false;
    return true;
}

// The idle node stays where it is, so the mouse logic is untouched; only what it draws changes.
void Menu::FocusTextButton(int before)
{
    if (Button* left = ButtonAt(before); left != nullptr && left->idle != nullptr)
        left->idle->SetStandIn(nullptr);
    if (Button* focused = ButtonAt(m_focus); focused != nullptr && focused->idle != nullptr)
        focused->idle->SetStandIn(focused->hover);
}

bool Menu::TakeFocusKeys()
{
    const PlayerActions& actions = PlayerActions::Get();
    const int before = m_focus;
    const auto count = static_cast<int>(m_buttons.size());
    if (actions.MouseMoved())
        m_focus = -1;
    const bool on = actions.Pressed(PlayerAction::FocusDown) || actions.Pressed(PlayerAction::FocusRight) ||
                    actions.Pressed(PlayerAction::FocusNext);
    const bool back = actions.Pressed(PlayerAction::FocusUp) || actions.Pressed(PlayerAction::FocusLeft);
    if (count > 0 && (on || back))
        m_focus = m_focus < 0 ? 0 : (m_focus + (on ? 1 : count - 1)) % count;
    if (m_focus != before) {
        FocusTextButton(before);
        FrameActivity::Changed();
        return false;
    }
    if (m_focus < 0 || !actions.Pressed(PlayerAction::Advance))
        return false;
    // Held for the run, as a click holds it: the action may replace the button's action.
    const std::shared_ptr<Action> action = m_buttons[static_cast<std::size_t>(m_focus)].swap->GetAction();
    if (!action)
        return false;
    action->Run();
    return true;
}

void Menu::Render()
{
    m_scene->Render();
    // Not twice when the mouse rests on the focused button too.
    const Button* button = ButtonAt(m_focus);
    SceneNode* focused = button != nullptr && button->idle == nullptr ? button->swap : nullptr;
    if (focused != nullptr && !focused->IsVisible())
        focused->Render(SceneNode::Hidden::Draw);
    for (const std::unique_ptr<Slider>& slider : m_sliders)
        slider->Render();
}

} // namespace Vel
