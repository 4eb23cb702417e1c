#pragma once

// What a click on a button, a choice entry or a scene node does. The parser builds actions from action texts; the
// object that owns the action runs it on the click. A choice also learns through the after-run callback that its
// action has run, so the selection can close.

#include "core/Callback.h"

#include <utility>

namespace Vel {

class Action
{
public:
    Action() = default;
    Action(const Action&) = delete;
    Action& operator=(const Action&) = delete;
    virtual ~Action() = default;

    // Does the action, then calls the after-run callback.
    void Run();
    void SetAfterRun(Callback<void()> afterRun) { m_afterRun = std::move(afterRun); }

private:
    virtual void Perform() = 0;

    Callback<void()> m_afterRun;
};

} // namespace Vel
