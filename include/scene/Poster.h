#pragma once

// A still picture shown for a fixed time over everything: it fades in over the first quarter, holds, and fades out
// over the last quarter. The ScenesManager shows one as the notice after a game was saved.

#include <string>

namespace Vel {

class Sprite;

class Poster
{
public:
    // duration in seconds; a poster of no duration is finished at once and never visible.
    Poster(std::u16string picture, float x, float y, float duration);
    virtual ~Poster() = default;
    Poster(const Poster&) = delete;
    Poster& operator=(const Poster&) = delete;

    // dt in seconds; true once the whole duration has passed.
    bool Update(float dt);
    // Draws the picture (looked up in the ResourceManager on the first draw) at the current alpha.
    void Render();
    // Shows it again from the start.
    void Restart();

    [[nodiscard]] float GetAlpha() const { return m_alpha; }
    [[nodiscard]] bool IsFinished() const { return m_elapsed == m_duration; }

private:
    Sprite* m_picture = nullptr;
    std::u16string m_pictureName;
    float m_x;
    float m_y;
    float m_duration;
    float m_elapsed = 0.0f;
    float m_fadeIn;
    float m_fadeOutStart;
    float m_alpha = 0.0f;
};

} // namespace Vel
