#pragma once

// What a click on a button, a choice entry or a scene node does. The parser builds actions from action texts; the
// object that owns the action runs it on the click.

namespace Vel {

class Action
{
public:
    Action() = default;
    Action(const Action&) = delete;
    Action& operator=(const Action&) = delete;
    virtual ~Action() = default;

    virtual void Run() = 0;
};

} // namespace Vel
