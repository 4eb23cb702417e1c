#include "resources/Avatar.h"

#include <utility>

namespace Vel {

Avatar::Avatar(Resource* picture, float x, float y, std::u16string defaultName)
    : m_picture(picture), m_x(x), m_y(y), m_defaultName(std::move(defaultName))
{
}

Avatar::~Avatar() = default;

} // namespace Vel
