#include "resources/Pose.h"

#include <utility>

namespace Vel {

Pose::Pose(Resource* idle, Resource* speak, std::u16string avatarName)
    : m_idle(idle), m_speak(speak != nullptr ? speak : idle), m_avatarName(std::move(avatarName))
{
}

Pose::~Pose() = default;

Resource* Pose::GetShownPicture() const
{
    switch (m_mode) {
    case Idle:
        return m_idle;
    case Speaking:
        return m_speak;
    default:
        return nullptr;
    }
}

} // namespace Vel
