#include "resources/Sprite.h"

#include "resources/ResourceManager.h"

namespace Vel {

float Sprite::GetWidth()
{
    m_picture.Load();
    return m_picture.GetWidth();
}

float Sprite::GetHeight()
{
    m_picture.Load();
    return m_picture.GetHeight();
}

void Sprite::Render(float x, float y, float zoom, float opacity)
{
    m_picture.Render(x, y, zoom, opacity);
}

void Sprite::Unload()
{
    m_picture.SetTexture(0);
    ResourceManager::GetSingleton().ReleaseTexture(m_picture.GetFile());
}

} // namespace Vel
