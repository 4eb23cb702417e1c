#include "scene/InputObject.h"

#include "scene/Action.h"
#include "scene/CurrentScene.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

#include <algorithm>
#include <utility>

namespace Vel {

namespace {

InputObject* FindInCurrentScene(const std::u16string& name)
{
    Scene* scene = CurrentScene::Get();
    return scene != nullptr ? scene->FindNode(name) : nullptr;
}

} // namespace

InputObject::~InputObject()
{
    DetachReferrers();
    if (m_hoverTarget != nullptr)
        m_hoverTarget->ForgetReferrer(this);
    if (m_leaveTarget != nullptr)
        m_leaveTarget->ForgetReferrer(this);
}

void InputObject::OnShow()
{
    m_justShown = true;
}

bool InputObject::TestMouse(float x, float y, bool clicked)
{
    ResolvePendingTargets();
    if (!m_visible)
        return false;
    const float width = m_width == kUnset ? GetWidth() : m_width;
    const float height = m_height == kUnset ? GetHeight() : m_height;
    const bool inside = x >= m_x && x < m_x + width && y >= m_y && y < m_y + height;
    if (!inside) {
        if (!m_justShown && m_leaveTarget != nullptr)
            SwapTo(*m_leaveTarget);
        m_justShown = false;
        return false;
    }
    m_justShown = false;
    if (clicked) {
        // Held for the length of the run: the action may replace this object's action, or its target's.
        std::shared_ptr<Action> action = m_action;
        if (!action && m_leaveTarget != nullptr)
            action = m_leaveTarget->m_action;
        // A click whose mouse was not over the object before (a tap) comes before the swap to the hover target,
        // which carries the action of a menu button or a gallery button.
        if (!action && m_hoverTarget != nullptr)
            action = m_hoverTarget->m_action;
        if (action)
            action->Run();
    }
    if (m_hoverTarget != nullptr)
        SwapTo(*m_hoverTarget);
    return true;
}

bool InputObject::ActsAt(float x, float y)
{
    if (!m_visible)
        return false;
    const float width = m_width == kUnset ? GetWidth() : m_width;
    const float height = m_height == kUnset ? GetHeight() : m_height;
    const bool inside = x >= m_x && x < m_x + width && y >= m_y && y < m_y + height;
    return inside && (m_action || (m_leaveTarget != nullptr && m_leaveTarget->m_action) ||
                      (m_hoverTarget != nullptr && m_hoverTarget->m_action));
}

void InputObject::SetHoverTarget(InputObject* target)
{
    Retarget(m_hoverTarget, target, *this);
}

void InputObject::SetLeaveTarget(InputObject* target)
{
    Retarget(m_leaveTarget, target, *this);
}

void InputObject::SetHoverTargetName(std::u16string name)
{
    m_hoverTargetName = std::move(name);
}

void InputObject::SetLeaveTargetName(std::u16string name)
{
    m_leaveTargetName = std::move(name);
}

void InputObject::DetachReferrers()
{
    for (InputObject* referrer : m_referrers) {
        if (referrer->m_hoverTarget == this)
            referrer->m_hoverTarget = nullptr;
        if (referrer->m_leaveTarget == this)
            referrer->m_leaveTarget = nullptr;
    }
    m_referrers.clear();
}

void InputObject::ResolvePendingTargets()
{
    if (!m_hoverTargetName.empty()) {
        SetHoverTarget(FindInCurrentScene(m_hoverTargetName));
        m_hoverTargetName.clear();
    }
    if (!m_leaveTargetName.empty()) {
        SetLeaveTarget(FindInCurrentScene(m_leaveTargetName));
        m_leaveTargetName.clear();
    }
}

void InputObject::SwapTo(InputObject& target)
{
    Hide();
    target.Show();
}

void InputObject::Retarget(InputObject*& slot, InputObject* target, InputObject& owner)
{
    if (slot == target)
        return;
    if (slot != nullptr)
        slot->ForgetReferrer(&owner);
    slot = target;
    if (target != nullptr)
        target->m_referrers.push_back(&owner);
}

void InputObject::ForgetReferrer(InputObject* referrer)
{
    const auto entry = std::find(m_referrers.begin(), m_referrers.end(), referrer);
    if (entry != m_referrers.end())
        m_referrers.erase(entry);
}

} // namespace Vel
