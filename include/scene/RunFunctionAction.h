#pragma once

#include "core/Callback.h"
#include "scene/Action.h"

namespace Vel {

// Runs one of the engine's interface functions ("save", "window", ...) bound to its manager.
class RunFunctionAction : public Action
{
public:
    explicit RunFunctionAction(Callback<void()> function);

private:
    void Perform() override;

    Callback<void()> m_function;
};

} // namespace Vel
