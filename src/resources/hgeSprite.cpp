#include "resources/hgeSprite.h"

#include <cmath>
#include <utility>

namespace Vel {

namespace {

// Writes one pair of vertex fields as an axis-aligned rectangle: top-left, top-right, bottom-right, bottom-left.
void SetCorners(hgeQuad& quad, float hgeVertex::*across, float hgeVertex::*down, float left, float top, float right,
                float bottom)
{
    const float xs[4] = {left, right, right, left};
    const float ys[4] = {top, top, bottom, bottom};
    for (int i = 0; i < 4; ++i) {
        quad.v[i].*across = xs[i];
        quad.v[i].*down = ys[i];
    }
}

} // namespace

hgeSprite::hgeSprite(HTEXTURE texture, float x, float y, float width, float height)
    : m_hge(hgeCreate(HGE_VERSION)), m_x(x), m_y(y), m_width(width), m_height(height), m_sourceWidth(width),
      m_sourceHeight(height)
{
    m_quad.tex = texture;
    m_quad.blend = BLEND_DEFAULT;
    for (hgeVertex& vertex : m_quad.v) {
        vertex.z = 0.5f;
        vertex.col = 0xFFFFFFFF;
    }
    ReadTextureSize(texture);
    UpdateTextureCoordinates();
}

hgeSprite::~hgeSprite()
{
    if (m_hge != nullptr)
        m_hge->Release();
}

hgeSprite::hgeSprite(const hgeSprite& other)
    : m_hge(hgeCreate(HGE_VERSION)), m_quad(other.m_quad), m_x(other.m_x), m_y(other.m_y), m_width(other.m_width),
      m_height(other.m_height), m_sourceWidth(other.m_sourceWidth), m_sourceHeight(other.m_sourceHeight),
      m_textureWidth(other.m_textureWidth), m_textureHeight(other.m_textureHeight), m_hotX(other.m_hotX),
      m_hotY(other.m_hotY), m_flipX(other.m_flipX), m_flipY(other.m_flipY), m_flipHotSpot(other.m_flipHotSpot)
{
}

// Every sprite keeps its own reference to the interface; only the picture is copied.
hgeSprite& hgeSprite::operator=(const hgeSprite& other)
{
    m_quad = other.m_quad;
    m_x = other.m_x;
    m_y = other.m_y;
    m_width = other.m_width;
    m_height = other.m_height;
    m_sourceWidth = other.m_sourceWidth;
    m_sourceHeight = other.m_sourceHeight;
    m_textureWidth = other.m_textureWidth;
    m_textureHeight = other.m_textureHeight;
    m_hotX = other.m_hotX;
    m_hotY = other.m_hotY;
    m_flipX = other.m_flipX;
    m_flipY = other.m_flipY;
    m_flipHotSpot = other.m_flipHotSpot;
    return *this;
}

void hgeSprite::RenderEx(float x, float y, float rotation, float hscale, float vscale)
{
    if (vscale == 0.0f)
        vscale = hscale;
    const float hotX = m_flipHotSpot && m_flipX ? m_width - m_hotX : m_hotX;
    const float hotY = m_flipHotSpot && m_flipY ? m_height - m_hotY : m_hotY;
    const float left = -hotX * hscale;
    const float top = -hotY * vscale;
    const float right = (m_width - hotX) * hscale;
    const float bottom = (m_height - hotY) * vscale;
    const float xs[4] = {left, right, right, left};
    const float ys[4] = {top, top, bottom, bottom};
    if (rotation != 0.0f) {
        const float cosR = std::cos(rotation);
        const float sinR = std::sin(rotation);
        for (int i = 0; i < 4; ++i) {
            m_quad.v[i].x = xs[i] * cosR - ys[i] * sinR + x;
            m_quad.v[i].y = xs[i] * sinR + ys[i] * cosR + y;
        }
    } else {
        for (int i = 0; i < 4; ++i) {
            m_quad.v[i].x = xs[i] + x;
            m_quad.v[i].y = ys[i] + y;
        }
    }
    if (m_hge != nullptr)
        m_hge->Gfx_RenderQuad(&m_quad);
}

void hgeSprite::RenderStretch(float x1, float y1, float x2, float y2)
{
    SetCorners(m_quad, &hgeVertex::x, &hgeVertex::y, x1, y1, x2, y2);
    if (m_hge != nullptr)
        m_hge->Gfx_RenderQuad(&m_quad);
}

void hgeSprite::SetTexture(HTEXTURE texture)
{
    m_quad.tex = texture;
    const float oldWidth = m_textureWidth;
    const float oldHeight = m_textureHeight;
    ReadTextureSize(texture);
    // The corners keep showing the same texture pixels on a texture of another size.
    if (oldWidth != m_textureWidth || oldHeight != m_textureHeight)
        UpdateTextureCoordinates();
}

void hgeSprite::SetTextureRect(float x, float y, float width, float height, bool adjustSize)
{
    m_x = x;
    m_y = y;
    m_sourceWidth = width;
    m_sourceHeight = height;
    if (adjustSize) {
        m_width = width;
        m_height = height;
    }
    UpdateTextureCoordinates();
}

void hgeSprite::SetColor(std::uint32_t colour, int vertex)
{
    if (vertex == -1) {
        for (hgeVertex& v : m_quad.v)
            v.col = colour;
    } else if (vertex >= 0 && vertex < 4) {
        m_quad.v[vertex].col = colour;
    }
}

void hgeSprite::SetHotSpot(float x, float y)
{
    m_hotX = x;
    m_hotY = y;
}

void hgeSprite::SetFlip(bool x, bool y, bool hotSpot)
{
    m_flipX = x;
    m_flipY = y;
    m_flipHotSpot = hotSpot;
    UpdateTextureCoordinates();
}

// The device size, which texture coordinates are measured against; a stale handle counts as no texture.
void hgeSprite::ReadTextureSize(HTEXTURE texture)
{
    m_textureWidth = 1.0f;
    m_textureHeight = 1.0f;
    if (texture == 0 || m_hge == nullptr)
        return;
    const int width = m_hge->Texture_GetWidth(texture, false);
    const int height = m_hge->Texture_GetHeight(texture, false);
    if (width > 0 && height > 0) {
        m_textureWidth = static_cast<float>(width);
        m_textureHeight = static_cast<float>(height);
    }
}

void hgeSprite::UpdateTextureCoordinates()
{
    float u1 = m_x / m_textureWidth;
    float v1 = m_y / m_textureHeight;
    float u2 = (m_x + m_sourceWidth) / m_textureWidth;
    float v2 = (m_y + m_sourceHeight) / m_textureHeight;
    if (m_flipX)
        std::swap(u1, u2);
    if (m_flipY)
        std::swap(v1, v2);
    SetCorners(m_quad, &hgeVertex::tx, &hgeVertex::ty, u1, v1, u2, v2);
}

} // namespace Vel
