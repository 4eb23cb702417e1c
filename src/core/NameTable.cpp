#include "core/NameTable.h"

#include <unordered_set>

namespace Vel {

namespace {

struct NameHash
{
    using is_transparent = void;
    std::size_t operator()(std::u16string_view name) const { return std::hash<std::u16string_view>{}(name); }
};

} // namespace

const std::u16string& NameTable::Intern(std::u16string_view name)
{
    // Node-based: the address of a stored name never changes as the table grows.
    static std::unordered_set<std::u16string, NameHash, std::equal_to<>> s_names;
    const auto found = s_names.find(name);
    if (found != s_names.end())
        return *found;
    return *s_names.emplace(name).first;
}

} // namespace Vel
