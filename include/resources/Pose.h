#pragma once

// One look of a character: the picture it shows while silent, the one it shows while its voice plays, and the
// face its avatar takes. Owned by its character.

#include <cstdint>
#include <string>

namespace Vel {

class Resource;

class Pose
{
public:
    enum Mode : std::int32_t
    {
        Idle = 0,
        Speaking = 1,
    };

    // A null speak picture takes the idle one.
    Pose(Resource* idle, Resource* speak, std::u16string avatarName);
    virtual ~Pose();

    // The picture the mode shows; null for an unknown mode or a missing picture.
    [[nodiscard]] Resource* GetShownPicture() const;
    [[nodiscard]] Resource* GetIdlePicture() const { return m_idle; }
    [[nodiscard]] const std::u16string& GetAvatarName() const { return m_avatarName; }
    void SetMode(std::int32_t mode) { m_mode = mode; }
    [[nodiscard]] std::int32_t GetMode() const { return m_mode; }

private:
    Resource* m_idle = nullptr;
    Resource* m_speak = nullptr;
    std::u16string m_avatarName;
    std::int32_t m_mode = Idle;
};

} // namespace Vel
