#include "menus/MenuManager.h"

#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/Trace.h"
#include "menus/Menu.h"
#include "menus/MenuSwitch.h"
#include "platform/FrameActivity.h"
#include "scene/ClickGate.h"

#include <utility>

namespace Vel {

MenuManager::MenuManager() = default;

MenuManager::~MenuManager()
{
    // Nothing may reach a menu through the stack while the menus go.
    m_stack.clear();
    m_menus.clear();
}

Menu* MenuManager::CreateMenu(const std::u16string& name)
{
    // A switch of the same name would hide the menu from ShowMenu for good.
    if (m_menus.contains(name) || m_switches.contains(name))
        return nullptr;
    auto menu = std::make_unique<Menu>(name);
    Menu* created = menu.get();
    m_menus.emplace(name, std::move(menu));
    return created;
}

Menu* MenuManager::FindMenu(const std::u16string& name) const
{
    const auto found = m_menus.find(name);
    return found != m_menus.end() ? found->second.get() : nullptr;
}

MenuSwitch* MenuManager::CreateSwitch(const std::u16string& name)
{
    if (m_switches.contains(name) || m_menus.contains(name))
        return nullptr;
    auto menuSwitch = std::make_unique<MenuSwitch>();
    MenuSwitch* created = menuSwitch.get();
    m_switches.emplace(name, std::move(menuSwitch));
    return created;
}

MenuSwitch* MenuManager::FindSwitch(const std::u16string& name) const
{
    const auto found = m_switches.find(name);
    return found != m_switches.end() ? found->second.get() : nullptr;
}

const std::u16string& MenuManager::CurrentMenuName() const
{
    static const std::u16string s_none;
    return m_stack.empty() ? s_none : m_stack.back()->GetName();
}

void MenuManager::ShowMenu(const std::u16string& name, Callback<void()> closed)
{
    const MenuSwitch* menuSwitch = FindSwitch(name);
    const std::u16string menuName = menuSwitch != nullptr ? menuSwitch->GetMenuName() : name;
    Menu* menu = FindMenu(menuName);
    if (menu == nullptr) {
        LogMissing(menuName);
        // Whoever waits for the menu to close must not wait for ever.
        closed();
        return;
    }
    // Pushed before its on commands run: one of them may already close it.
    m_stack.push_back(menu);
    FrameActivity::Changed();
    Trace::Write("menu", menu->GetName());
    menu->Show(std::move(closed));
}

void MenuManager::LogMissing(const std::u16string& name)
{
    if (!m_missingLogged.insert(name).second)
        return;
    HgeManager::Log("Menu not found: " + TextCodec::WideToUtf8(name));
}

void MenuManager::Back()
{
    if (!m_stack.empty())
        m_stack.back()->Hide();
}

void MenuManager::CloseAll()
{
    if (m_stack.empty())
        return;
    // Stays set until CloseTop has closed every menu, also when the top menu's off commands finish later.
    m_closingAll = true;
    m_stack.back()->Hide();
}

void MenuManager::CloseTop()
{
    if (m_stack.empty()) {
        m_closingAll = false;
        return;
    }
    if (!m_closingAll) {
        Menu* top = m_stack.back();
        m_stack.pop_back();
        Close(*top);
        return;
    }
    // The stack is emptied before any handler runs: a handler may open the next menu, which must stay open.
    const std::vector<Menu*> closing = std::exchange(m_stack, {});
    m_closingAll = false;
    for (Menu* menu : closing)
        Close(*menu);
}

void MenuManager::Close(Menu& menu)
{
    // The click that closed the menu must not act again on whatever lies below it.
    ClickGate::Left().Close();
    FrameActivity::Changed();
    Trace::Write("menuclosed", menu.GetName());
    const Callback<void()> closed = menu.TakeClosedHandler();
    closed();
}

void MenuManager::Update(float dt)
{
    if (!m_stack.empty())
        m_stack.back()->Update(dt);
}

void MenuManager::RenderTop()
{
    if (!m_stack.empty())
        m_stack.back()->Render();
}

} // namespace Vel
