#pragma once

// A name that stands for one of several menus, chosen when it is shown by the current value of a trigger: the
// first case (in trigger-name order) whose trigger holds its expected value, else the default menu.

#include <map>
#include <string>
#include <utility>

namespace Vel {

class MenuSwitch
{
public:
    MenuSwitch() = default;
    virtual ~MenuSwitch() = default;

    void SetDefault(std::u16string menu) { m_default = std::move(menu); }
    // One case per trigger: a later case for the same trigger replaces the earlier one.
    void AddCase(const std::u16string& menu, const std::u16string& trigger, const std::u16string& value);
    // Reads the triggers' values now (a trigger without a value counts as empty).
    [[nodiscard]] std::u16string GetMenuName() const;

    [[nodiscard]] const std::u16string& GetDefault() const { return m_default; }

private:
    struct Case
    {
        std::u16string menu;
        std::u16string value;
    };

    std::u16string m_default;
    std::map<std::u16string, Case> m_cases; // by trigger name
};

} // namespace Vel
