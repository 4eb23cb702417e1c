#include "resources/Frame.h"

#include "resources/ResourceManager.h"

#include <utility>

namespace Vel {

namespace {

// The vertex colour is added to the texels; with black vertices only its alpha, the opacity, has an effect.
constexpr int kPictureBlend = BLEND_COLORADD | BLEND_ALPHABLEND | BLEND_NOZWRITE;

} // namespace

Frame::Frame(std::u16string file, float duration, float offsetX, float offsetY)
    : m_file(std::move(file)), m_picture(0, 0.0f, 0.0f, 0.0f, 0.0f), m_duration(duration), m_offsetX(offsetX),
      m_offsetY(offsetY)
{
    m_picture.SetBlendMode(kPictureBlend);
}

void Frame::SetFile(std::u16string file)
{
    if (file == m_file)
        return;
    m_file = std::move(file);
    // The old texture stays in the cache for whoever else shows that file.
    SetTexture(0);
}

void Frame::SetTexture(HTEXTURE texture)
{
    m_texture = texture;
    m_width = 0.0f;
    m_height = 0.0f;
    if (texture != 0) {
        HGE* hge = ResourceManager::GetSingleton().GetHge();
        m_width = static_cast<float>(hge->Texture_GetWidth(texture, true));
        m_height = static_cast<float>(hge->Texture_GetHeight(texture, true));
    }
    m_picture.SetTexture(texture);
    m_picture.SetTextureRect(0.0f, 0.0f, m_width, m_height, true);
}

void Frame::Load()
{
    if (m_texture != 0)
        return;
    const HTEXTURE texture = ResourceManager::GetSingleton().GetTexture(m_file);
    if (texture != m_texture)
        SetTexture(texture);
}

void Frame::Render(float x, float y, float zoom, float opacity)
{
    Load();
    m_picture.SetColor(OpacityColour(opacity));
    m_picture.RenderEx(x + m_offsetX, y + m_offsetY, 0.0f, zoom, 0.0f);
}

void Frame::RenderStretched(float x1, float y1, float x2, float y2, float opacity)
{
    Load();
    m_picture.SetColor(OpacityColour(opacity));
    m_picture.RenderStretch(x1, y1, x2, y2);
}

std::uint32_t Frame::OpacityColour(float opacity)
{
    // Written so that NaN also ends up at 0: an alpha outside 0..255 would wrap into the colour channels.
    if (!(opacity > 0.0f))
        opacity = 0.0f;
    if (opacity > 1.0f)
        opacity = 1.0f;
    return static_cast<std::uint32_t>(opacity * 255.0f) << 24;
}

} // namespace Vel
