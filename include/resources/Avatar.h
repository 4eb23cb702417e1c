#pragma once

// A character's face, drawn at a fixed place on the screen whatever the character's node does. Owned by its
// character; the pose in use may swap the picture.

#include <string>

namespace Vel {

class Resource;

class Avatar
{
public:
    Avatar(Resource* picture, float x, float y, std::u16string defaultName);
    virtual ~Avatar();

    void SetPicture(Resource* picture) { m_picture = picture; }
    [[nodiscard]] Resource* GetPicture() const { return m_picture; }
    [[nodiscard]] float GetX() const { return m_x; }
    [[nodiscard]] float GetY() const { return m_y; }
    [[nodiscard]] const std::u16string& GetDefaultName() const { return m_defaultName; }

private:
    Resource* m_picture = nullptr;
    float m_x = 0.0f;
    float m_y = 0.0f;
    std::u16string m_defaultName;
};

} // namespace Vel
