#include "scene/SceneNode.h"

#include "data/Serializer.h"
#include "resources/Resource.h"
#include "resources/ResourceManager.h"
#include "scene/TriggerManager.h"

#include <string>
#include <utility>

namespace Vel {

namespace {

// Written for a missing target or picture.
const std::u16string kNone = u"undef";

// A target still waiting for its name to be resolved is saved under that name, so it is not lost.
std::u16string TargetName(const std::u16string& pending, const InputObject* target)
{
    if (!pending.empty())
        return pending;
    return target != nullptr ? target->GetName() : kNone;
}

Resource* FindResource(const std::u16string& name)
{
    const ResourceManager* manager = ResourceManager::GetSingletonPtr();
    return manager != nullptr ? manager->FindResource(name) : nullptr;
}

} // namespace

float SceneNode::GetWidth()
{
    return m_resource != nullptr ? m_resource->GetWidth() : 0.0f;
}

float SceneNode::GetHeight()
{
    return m_resource != nullptr ? m_resource->GetHeight() : 0.0f;
}

void SceneNode::Update(float dt)
{
    if (m_resource != nullptr)
        m_resource->Update(dt);
    AnimationObject::Update(dt);
}

bool SceneNode::ConditionHolds() const
{
    const ShowCondition* condition = m_resource != nullptr ? m_resource->GetShowCondition() : nullptr;
    if (condition == nullptr)
        return true;
    const TriggerManager* triggers = TriggerManager::GetSingletonPtr();
    return triggers != nullptr && triggers->Holds(condition->trigger, condition->value);
}

bool SceneNode::TestMouse(float x, float y, bool clicked)
{
    if (!ConditionHolds())
        return false;
    return AnimationObject::TestMouse(x, y, clicked);
}

bool SceneNode::ActsAt(float x, float y)
{
    return ConditionHolds() && AnimationObject::ActsAt(x, y);
}

void SceneNode::Render(Hidden hidden)
{
    if ((!m_visible && hidden == Hidden::Skip) || m_resource == nullptr || !ConditionHolds())
        return;
    const float x = m_drawX != kUnset ? m_drawX : m_x;
    const float y = m_drawY != kUnset ? m_drawY : m_y;
    m_resource->Render(x, y, m_zoom, m_opacity);
}

void SceneNode::SetDrawPosition(float x, float y)
{
    m_drawX = x;
    m_drawY = y;
}

void SceneNode::Save(Serializer& serializer) const
{
    serializer.WriteBool(m_visible);
    for (const float value : {m_opacity, m_zoom, m_x, m_y, m_width, m_height})
        serializer.WriteFloat(value);
    serializer.WriteString(m_name);
    serializer.WriteString(TargetName(GetHoverTargetName(), GetHoverTarget()));
    serializer.WriteString(TargetName(GetLeaveTargetName(), GetLeaveTarget()));
    serializer.WriteBool(m_justShown);
    serializer.WriteInt(m_layer);
    serializer.WriteString(m_resource != nullptr ? m_resource->GetName() : kNone);
    serializer.WriteFloat(m_drawX);
    serializer.WriteFloat(m_drawY);
}

bool SceneNode::Load(Serializer& serializer)
{
    serializer.ReadBool(m_visible);
    for (float* value : {&m_opacity, &m_zoom, &m_x, &m_y, &m_width, &m_height})
        serializer.ReadFloat(*value);
    serializer.ReadString(m_name);
    std::u16string hover;
    std::u16string leave;
    serializer.ReadString(hover);
    serializer.ReadString(leave);
    serializer.ReadBool(m_justShown);
    serializer.ReadInt(m_layer);
    std::u16string resource;
    serializer.ReadString(resource);
    serializer.ReadFloat(m_drawX);
    serializer.ReadFloat(m_drawY);
    if (serializer.Failed())
        return false;
    SetHoverTargetName(std::move(hover));
    SetLeaveTargetName(std::move(leave));
    m_resource = resource == kNone ? nullptr : FindResource(resource);
    return true;
}

} // namespace Vel
