#include "scene/Poster.h"

#include "resources/ResourceManager.h"
#include "resources/Sprite.h"

#include <utility>

namespace Vel {

Poster::Poster(std::u16string picture, float x, float y, float duration)
    : m_pictureName(std::move(picture)), m_x(x), m_y(y), m_duration(duration > 0.0f ? duration : 0.0f),
      m_fadeIn(m_duration * 0.25f), m_fadeOutStart(m_duration * 0.75f)
{
}

bool Poster::Update(float dt)
{
    m_elapsed += dt;
    if (m_elapsed > m_duration)
        m_elapsed = m_duration;
    // Without a fade length the ratios below would divide by zero.
    if (m_fadeIn <= 0.0f) {
        m_alpha = 0.0f;
        return IsFinished();
    }
    if (m_fadeIn >= m_elapsed)
        m_alpha = m_elapsed / m_fadeIn;
    else if (m_fadeOutStart > m_elapsed)
        m_alpha = 1.0f;
    if (m_elapsed >= m_fadeOutStart)
        m_alpha = 1.0f - (m_elapsed - m_fadeOutStart) / m_fadeIn;
    return IsFinished();
}

void Poster::Render()
{
    if (m_picture == nullptr) {
        ResourceManager* manager = ResourceManager::GetSingletonPtr();
        if (manager == nullptr)
            return;
        m_picture = manager->GetSprite(m_pictureName);
    }
    m_picture->Render(m_x, m_y, 1.0f, m_alpha);
}

void Poster::Restart()
{
    m_elapsed = 0.0f;
    m_alpha = 0.0f;
}

} // namespace Vel
