#pragma once

// Owns the game's menus and menu switches and keeps the stack of open menus; only the top one is updated and
// drawn. Start-up creates the one instance with the other managers and hands it to the scenes manager as its menu
// layer; the script's menu statements create menus and switches, the menu command and the interface functions
// "main", "options", "back", "cancel" and "game" open and close them. Every opening and closing is traced
// ("menu NAME", "menuclosed NAME").

#include "core/VelSingleton.h"
#include "scene/MenuLayer.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace Vel {

class Menu;
class MenuSwitch;

class MenuManager : public Singleton<MenuManager>, public MenuLayer
{
public:
    MenuManager();
    ~MenuManager() override;

    // null when a menu (or switch) of that name exists already.
    [[nodiscard]] Menu* CreateMenu(const std::u16string& name);
    [[nodiscard]] Menu* FindMenu(const std::u16string& name) const;
    [[nodiscard]] MenuSwitch* CreateSwitch(const std::u16string& name);
    [[nodiscard]] MenuSwitch* FindSwitch(const std::u16string& name) const;

    [[nodiscard]] const std::u16string& CurrentMenuName() const override;
    // A switch shows the menu it chooses. A name that leads to no menu shows nothing, names the missing menu in the
    // log and calls closed at once, so a waiting command lets the story go on.
    void ShowMenu(const std::u16string& name, Callback<void()> closed) override;
    // "back" and "cancel": hides the top menu.
    void Back() override;
    [[nodiscard]] std::size_t OpenCount() const override { return m_stack.size(); }
    // "game": every open menu closes, bottom first; the top menu's off list runs first.
    void CloseAll() override;
    void Update(float dt) override;
    void RenderTop() override;

    // Called by a menu whose off list has finished, or that has none: pops the top menu (or, while closing all,
    // every menu) with the click gate closed, and runs their closed handlers.
    void CloseTop();

    [[nodiscard]] const std::vector<Menu*>& GetStack() const { return m_stack; }
    [[nodiscard]] const std::map<std::u16string, std::unique_ptr<Menu>>& GetMenus() const { return m_menus; }

private:
    // Once per name: a script that keeps asking for the same missing menu fills no log.
    void LogMissing(const std::u16string& name);
    // Gate closed, trace line, closed handler run; the menu is off the stack already.
    void Close(Menu& menu);

    std::map<std::u16string, std::unique_ptr<Menu>> m_menus;
    std::map<std::u16string, std::unique_ptr<MenuSwitch>> m_switches;
    std::vector<Menu*> m_stack;
    bool m_closingAll = false;
    std::set<std::u16string> m_missingLogged;
};

} // namespace Vel
