#pragma once

// Remembers which node names of one scene belong to which group, so that a clear command can take away all
// characters or all backgrounds at once. Each scene owns one; the scene registers every node it creates. A node
// named "<group>_<rest>" joins <group> without being told. Groups and names are never taken out again, except all
// at once by Clear (the scene's reset): a name created again later is removed again by the next RemoveGroup.

#include <map>
#include <string>
#include <vector>

namespace Vel {

class Scene;
class Serializer;

class GroupManager
{
public:
    GroupManager() = default;
    virtual ~GroupManager() = default;
    GroupManager(const GroupManager&) = delete;
    GroupManager& operator=(const GroupManager&) = delete;

    // Into the group named by the text before the first "_"; a name without "_" joins no group.
    void Add(const std::u16string& name);
    void Add(const std::u16string& name, const std::u16string& group);
    // Removes (RemoveNode) every node of the group from the scene, in the order the names were added.
    void RemoveGroup(Scene& scene, const std::u16string& group) const;
    void Clear() { m_groups.clear(); }

    // nullptr for an unknown group.
    [[nodiscard]] const std::vector<std::u16string>* Find(const std::u16string& group) const;
    [[nodiscard]] const std::map<std::u16string, std::vector<std::u16string>>& GetGroups() const { return m_groups; }

    // Group count, then per group in name order: its name, its name count and the names.
    void Save(Serializer& serializer) const;
    // Adds the groups of a record written by Save; false when the serializer failed on the way.
    [[nodiscard]] bool Load(Serializer& serializer);

private:
    std::map<std::u16string, std::vector<std::u16string>> m_groups;
};

} // namespace Vel
