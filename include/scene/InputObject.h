#pragma once

// A drawable object that reacts to the mouse: it can swap itself for a hover target while the mouse is over it and
// for a leave target when the mouse leaves, and it runs its click action when clicked. Layers and galleries call
// TestMouse once per frame.
//
// Targets are borrowed pointers to other objects. Every object remembers who targets it, so an object that goes
// away (or is removed from its scene, see DetachReferrers) is never reached through another object's target.
// Pending target names are looked up in the CurrentScene on the next mouse test.

#include "scene/BaseObject.h"

#include <memory>
#include <string>
#include <vector>

namespace Vel {

class Action;

class InputObject : public BaseObject
{
public:
    InputObject() = default;
    ~InputObject() override;

    void OnShow() override;

    // Called once per frame with the mouse in game coordinates (kUnset: nowhere) and whether a click was accepted.
    // Returns whether the point is inside the object; may run the click action (its own, else its leave target's,
    // else its hover target's) and swap the object for a target.
    virtual bool TestMouse(float x, float y, bool clicked);

    // Whether a click at the point would run an action here: the object is shown, holds the point and has an action
    // (its own or a target's). Changes nothing.
    [[nodiscard]] virtual bool ActsAt(float x, float y);

    // target may be null.
    void SetHoverTarget(InputObject* target);
    void SetLeaveTarget(InputObject* target);
    // Resolved in the current scene by the next TestMouse, replacing the target then.
    void SetHoverTargetName(std::u16string name);
    void SetLeaveTargetName(std::u16string name);
    [[nodiscard]] InputObject* GetHoverTarget() const { return m_hoverTarget; }
    [[nodiscard]] InputObject* GetLeaveTarget() const { return m_leaveTarget; }
    [[nodiscard]] const std::u16string& GetHoverTargetName() const { return m_hoverTargetName; }
    [[nodiscard]] const std::u16string& GetLeaveTargetName() const { return m_leaveTargetName; }

    // Shared: the command that installs an action keeps it too, and may install it on several objects.
    void SetAction(std::shared_ptr<Action> action) { m_action = std::move(action); }
    [[nodiscard]] const std::shared_ptr<Action>& GetAction() const { return m_action; }

    [[nodiscard]] bool IsJustShown() const { return m_justShown; }

    // Clears every other object's hover or leave target that points at this object.
    void DetachReferrers();

protected:
    // Set by OnShow so that a swap just made is not undone by a later test in the same frame.
    bool m_justShown = false;

private:
    void ResolvePendingTargets();
    void SwapTo(InputObject& target);
    static void Retarget(InputObject*& slot, InputObject* target, InputObject& owner);
    void ForgetReferrer(InputObject* referrer);

    InputObject* m_hoverTarget = nullptr;
    InputObject* m_leaveTarget = nullptr;
    std::u16string m_hoverTargetName;
    std::u16string m_leaveTargetName;
    std::shared_ptr<Action> m_action;
    // Objects whose hover or leave target is this one; one entry per reference.
    std::vector<InputObject*> m_referrers;
};

} // namespace Vel
