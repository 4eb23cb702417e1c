#pragma once

#include "core/Callback.h"
#include "scene/Action.h"

#include <string>

namespace Vel {

// Runs one of the engine's interface functions ("save", "window", ...) bound to its manager.
class RunFunctionAction : public Action
{
public:
    // name: the function's name as the script writes it; empty for the engine's own buttons.
    explicit RunFunctionAction(Callback<void()> function, std::u16string name = {});

    [[nodiscard]] const std::u16string& GetName() const { return m_name; }

private:
    void Perform() override;

    Callback<void()> m_function;
    std::u16string m_name;
};

} // namespace Vel
