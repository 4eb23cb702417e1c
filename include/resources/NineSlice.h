#pragma once

// A picture cut in nine by its borders: drawn stretched to any size, its four corners stay as they are, its edges
// stretch along their length and its middle both ways, so one small frame picture fits buttons of every size. The
// script defines it with "nineslice"; it loads its texture the first time it is measured or drawn.

#include "resources/Frame.h"
#include "resources/Resource.h"
#include "resources/hgeSprite.h"

#include <string>

namespace Vel {

class NineSlice : public Resource
{
public:
    // Pixels of the picture on each side that stay unscaled.
    struct Borders
    {
        float left = 0.0f;
        float top = 0.0f;
        float right = 0.0f;
        float bottom = 0.0f;
    };

    NineSlice();

    [[nodiscard]] ResourceType GetType() const override { return ResourceType::Sprite; }
    [[nodiscard]] float GetWidth() override;
    [[nodiscard]] float GetHeight() override;
    // At its own size, scaled by zoom.
    void Render(float x, float y, float zoom, float opacity) override;
    // A rectangle smaller than the two borders shrinks the corners alike, so the pieces never overlap.
    void RenderStretched(float x1, float y1, float x2, float y2, float opacity = 1.0f) override;
    void Unload() override;
    [[nodiscard]] bool IsStatic() const override { return true; }

    void SetFile(std::u16string file);
    void SetBorders(const Borders& borders) { m_borders = borders; }
    [[nodiscard]] const std::u16string& GetFile() const { return m_picture.GetFile(); }

private:
    // Whether the texture is there and the borders fit it; a misfit is named in the log once per file.
    [[nodiscard]] bool Ready();
    void DrawPiece(float sourceX, float sourceY, float sourceWidth, float sourceHeight, float x1, float y1, float x2,
                   float y2);

    Frame m_picture;
    hgeSprite m_piece;
    Borders m_borders;
    bool m_misfitLogged = false;
};

} // namespace Vel
