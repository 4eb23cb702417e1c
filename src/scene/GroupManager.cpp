#include "scene/GroupManager.h"

#include "data/Serializer.h"
#include "scene/Scene.h"

#include <cstdint>
#include <utility>

namespace Vel {

void GroupManager::Add(const std::u16string& name)
{
    const std::size_t separator = name.find(u'_');
    if (separator != std::u16string::npos)
        Add(name, name.substr(0, separator));
}

void GroupManager::Add(const std::u16string& name, const std::u16string& group)
{
    m_groups[group].push_back(name);
}

void GroupManager::RemoveGroup(Scene& scene, const std::u16string& group) const
{
    const std::vector<std::u16string>* names = Find(group);
    if (names == nullptr)
        return;
    for (const std::u16string& name : *names)
        scene.RemoveNode(name);
}

const std::vector<std::u16string>* GroupManager::Find(const std::u16string& group) const
{
    const auto entry = m_groups.find(group);
    return entry != m_groups.end() ? &entry->second : nullptr;
}

void GroupManager::Save(Serializer& serializer) const
{
    serializer.WriteInt(static_cast<std::int32_t>(m_groups.size()));
    for (const auto& [group, names] : m_groups) {
        serializer.WriteString(group);
        serializer.WriteInt(static_cast<std::int32_t>(names.size()));
        for (const std::u16string& name : names)
            serializer.WriteString(name);
    }
}

bool GroupManager::Load(Serializer& serializer)
{
    std::int32_t groups = 0;
    serializer.ReadInt(groups);
    // A count larger than the data stops at the first value past its end.
    for (std::int32_t i = 0; i < groups && !serializer.Failed(); ++i) {
        std::u16string group;
        std::int32_t count = 0;
        serializer.ReadString(group);
        serializer.ReadInt(count);
        if (serializer.Failed() || count < 0)
            return false;
        std::vector<std::u16string>& names = m_groups[group];
        for (std::int32_t j = 0; j < count && !serializer.Failed(); ++j) {
            std::u16string name;
            serializer.ReadString(name);
            if (!serializer.Failed())
                names.push_back(std::move(name));
        }
    }
    return groups >= 0 && !serializer.Failed();
}

} // namespace Vel
