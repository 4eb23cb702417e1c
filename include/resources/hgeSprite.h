#pragma once

// One textured quad: a rectangle of a texture with a hot spot, a colour per corner and a blend mode. Every picture
// the engine draws (sprites, animation frames, glyphs, the letters of bitmap fonts, the screen itself) is one of
// these, handed to the 2D library's quad renderer.

#include "platform/Hge.h"

namespace Vel {

class hgeSprite
{
public:
    // rectangle (x, y, width, height) in texture pixels; texture 0 draws the vertex colours alone.
    hgeSprite(HTEXTURE texture, float x, float y, float width, float height);
    ~hgeSprite();
    hgeSprite(const hgeSprite& other);
    hgeSprite& operator=(const hgeSprite& other);

    // Draws with the hot spot at (x, y); rotation in radians; vscale 0 means vscale = hscale.
    void RenderEx(float x, float y, float rotation, float hscale = 1.0f, float vscale = 0.0f);
    void Render(float x, float y) { RenderEx(x, y, 0.0f, 1.0f, 1.0f); }
    // Draws stretched over the rectangle, ignoring the hot spot.
    void RenderStretch(float x1, float y1, float x2, float y2);

    // Keeps showing the same pixel rectangle when the new texture's size differs.
    void SetTexture(HTEXTURE texture);
    void SetTextureRect(float x, float y, float width, float height, bool adjustSize = true);
    // vertex -1 sets all four corners.
    void SetColor(std::uint32_t colour, int vertex = -1);
    void SetHotSpot(float x, float y);
    void SetBlendMode(int blend) { m_quad.blend = blend; }
    void SetFlip(bool x, bool y, bool hotSpot = false);

    [[nodiscard]] HTEXTURE GetTexture() const { return m_quad.tex; }
    [[nodiscard]] float GetWidth() const { return m_width; }
    [[nodiscard]] float GetHeight() const { return m_height; }
    [[nodiscard]] std::uint32_t GetColor(int vertex = 0) const { return m_quad.v[vertex].col; }
    [[nodiscard]] int GetBlendMode() const { return m_quad.blend; }
    [[nodiscard]] const hgeQuad& GetQuad() const { return m_quad; }
    [[nodiscard]] float GetHotSpotX() const { return m_hotX; }
    [[nodiscard]] float GetHotSpotY() const { return m_hotY; }
    [[nodiscard]] bool GetFlipX() const { return m_flipX; }
    [[nodiscard]] bool GetFlipY() const { return m_flipY; }

private:
    void ReadTextureSize(HTEXTURE texture);
    void UpdateTextureCoordinates();

    // One reference to the process-wide interface, taken at construction and dropped by the destructor: drawing
    // then costs no reference counting, and the interface can never vanish under a living sprite.
    HGE* m_hge = nullptr;
    hgeQuad m_quad;
    float m_x = 0, m_y = 0, m_width = 0, m_height = 0; // texture rectangle; width and height are the drawn size
    // The part of the texture the corners map to; differs from the drawn size after SetTextureRect without
    // adjusting the size.
    float m_sourceWidth = 0, m_sourceHeight = 0;
    float m_textureWidth = 1.0f, m_textureHeight = 1.0f; // device size, 1 x 1 for no texture
    float m_hotX = 0, m_hotY = 0;
    bool m_flipX = false, m_flipY = false, m_flipHotSpot = false;
};

} // namespace Vel
