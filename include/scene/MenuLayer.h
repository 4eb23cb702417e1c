#pragma once

// The open menus, as the scenes manager runs them: while one is open it alone is updated (the story stands still
// behind it), and it is drawn over everything else. The scenes manager opens the right-click menu through it, goes
// back from a menu on Escape or the right button, and closes every menu when the story switches scenes. The menu
// manager is the one layer; start-up hands it over.

#include "core/Callback.h"

#include <cstddef>
#include <string>

namespace Vel {

class MenuLayer
{
public:
    virtual ~MenuLayer() = default;

    // The top menu's name; empty when no menu is open.
    [[nodiscard]] virtual const std::u16string& CurrentMenuName() const = 0;
    // Opens the menu or switch of that name; closed is called when it closes (at once when there is no such menu).
    virtual void ShowMenu(const std::u16string& name, Callback<void()> closed) = 0;
    virtual void CloseAll() = 0;
    // Closes the top menu as its "back" button does.
    virtual void Back() = 0;
    // How many menus are open, the top one included.
    [[nodiscard]] virtual std::size_t OpenCount() const = 0;
    // The top menu only.
    virtual void Update(float dt) = 0;
    virtual void RenderTop() = 0;
};

} // namespace Vel
