#pragma once

// One picture file drawn as a textured quad: a frame of an Animation, and the single picture of a Sprite (with
// duration and offset 0). The texture is loaded through the ResourceManager's cache the first time the picture is
// drawn, so a ResourceManager must exist whenever a frame is drawn.

#include "platform/Hge.h"
#include "resources/hgeSprite.h"

#include <cstdint>
#include <string>

namespace Vel {

class Frame
{
public:
    // duration in seconds; the offset in pixels is added to the draw position and not scaled.
    explicit Frame(std::u16string file = {}, float duration = 0.0f, float offsetX = 0.0f, float offsetY = 0.0f);

    // A new file name drops a texture of the old one, so the next draw shows the new picture.
    void SetFile(std::u16string file);
    // Attaches a texture (0 for none) and takes the image's own size from it.
    void SetTexture(HTEXTURE texture);
    // Loads the texture unless one is attached; a file that fails to load leaves it at 0.
    void Load();

    // Lazy-loads, then draws with the top-left corner at (x, y) plus the offset. Allocates nothing once loaded.
    void Render(float x, float y, float zoom, float opacity);
    // Lazy-loads, then draws fully opaque stretched over the rectangle with corners (x1, y1) and (x2, y2).
    void RenderStretched(float x1, float y1, float x2, float y2, float opacity = 1.0f);

    [[nodiscard]] const std::u16string& GetFile() const { return m_file; }
    [[nodiscard]] float GetDuration() const { return m_duration; }
    // The attached texture's size, without loading: 0 until a texture is attached.
    [[nodiscard]] float GetWidth() const { return m_width; }
    [[nodiscard]] float GetHeight() const { return m_height; }
    [[nodiscard]] HTEXTURE GetTexture() const { return m_texture; }
    [[nodiscard]] const hgeSprite& GetPicture() const { return m_picture; }

    // Vertex colour for an opacity: black, so the colour-add blend leaves the texels alone, with alpha =
    // opacity × 255 truncated; opacity is clamped to 0..1 first.
    [[nodiscard]] static std::uint32_t OpacityColour(float opacity);

private:
    std::u16string m_file;
    hgeSprite m_picture;
    float m_duration = 0.0f;
    float m_offsetX = 0.0f;
    float m_offsetY = 0.0f;
    float m_width = 0.0f;
    float m_height = 0.0f;
    HTEXTURE m_texture = 0;
};

} // namespace Vel
