#pragma once

// A control of an options menu that sets a number, bound to one value through a setter and a getter (the sound
// manager's volumes, the player's text and auto speeds, 0..10). The menu owns its sliders and, while it is the top
// menu, updates them before its scene and draws them after it. A slider keeps no value of its own: the getter is
// read every frame, so a value changed elsewhere shows at once.

#include "core/Callback.h"

#include <string>
#include <utility>

namespace Vel {

class Slider
{
public:
    using Setter = Callback<void(float)>;
    using Getter = Callback<float()>;

    Slider(std::u16string name, Setter setter, Getter getter)
        : m_setter(std::move(setter)), m_getter(std::move(getter)), m_name(std::move(name))
    {
    }
    virtual ~Slider() = default;
    Slider(const Slider&) = delete;
    Slider& operator=(const Slider&) = delete;

    // Reads the mouse (the left button held, not the click gate: dragging across sets each value passed over).
    virtual void Update(float dt) = 0;
    virtual void Render() = 0;

    [[nodiscard]] const std::u16string& GetName() const { return m_name; }
    // A slider bound to nothing draws its range without a highlight and ignores input.
    [[nodiscard]] bool IsBound() const { return !m_setter.IsEmpty() && !m_getter.IsEmpty(); }

protected:
    Setter m_setter;
    Getter m_getter;

private:
    std::u16string m_name;
};

} // namespace Vel
