#pragma once

#include "scene/Command.h"

#include <string>
#include <utility>

namespace Vel {

// Opens a menu (or the menu a switch chooses) and reports when it closes, so the story waits behind it. A name
// that leads to no menu reports at once, as does a game read without a menu manager.
class SetMenuCommand : public Command
{
public:
    explicit SetMenuCommand(std::u16string menuName) : m_menuName(std::move(menuName)) {}

    void Execute(Scene& scene) override;
    // "Menu-NAME".
    [[nodiscard]] std::u16string GetDescription() const override { return u"Menu-" + m_menuName; }

private:
    std::u16string m_menuName;
};

} // namespace Vel
