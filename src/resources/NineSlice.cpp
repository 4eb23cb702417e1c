#include "resources/NineSlice.h"

#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "resources/ResourceManager.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

namespace Vel {

namespace {

// As Frame draws: the vertex colour's alpha is the opacity.
constexpr int kPictureBlend = BLEND_COLORADD | BLEND_ALPHABLEND | BLEND_NOZWRITE;

std::uint32_t OpacityColour(float opacity)
{
    return static_cast<std::uint32_t>(std::clamp(opacity, 0.0f, 1.0f) * 255.0f) << 24;
}

// Where the three pieces along one axis start and end: the borders keep their size unless the whole is smaller
// than both, when they share it in their proportion.
std::array<float, 4> Cuts(float start, float length, float before, float after)
{
    const float borders = before + after;
    const float shrink = borders > length && borders > 0.0f ? length / borders : 1.0f;
    return {start, start + before * shrink, start + length - after * shrink, start + length};
}

} // namespace

NineSlice::NineSlice() : m_piece(0, 0.0f, 0.0f, 0.0f, 0.0f)
{
    m_piece.SetBlendMode(kPictureBlend);
}

void NineSlice::SetFile(std::u16string file)
{
    m_picture.SetFile(std::move(file));
    m_misfitLogged = false;
}

float NineSlice::GetWidth()
{
    m_picture.Load();
    return m_picture.GetWidth();
}

float NineSlice::GetHeight()
{
    m_picture.Load();
    return m_picture.GetHeight();
}

void NineSlice::Render(float x, float y, float zoom, float opacity)
{
    RenderStretched(x, y, x + GetWidth() * zoom, y + GetHeight() * zoom, opacity);
}

bool NineSlice::Ready()
{
    m_picture.Load();
    if (m_picture.GetTexture() == 0)
        return false; // the texture cache named the file in the log
    const bool fits = m_borders.left + m_borders.right <= m_picture.GetWidth() &&
                      m_borders.top + m_borders.bottom <= m_picture.GetHeight();
    if (!fits && !m_misfitLogged) {
        m_misfitLogged = true;
        HgeManager::Log("Nine-slice picture '" + TextCodec::WideToUtf8(GetName()) + "': its borders are larger than '" +
                        TextCodec::WideToUtf8(m_picture.GetFile()) + "'; it is drawn stretched whole");
    }
    return true;
}

void NineSlice::RenderStretched(float x1, float y1, float x2, float y2, float opacity)
{
    if (!Ready())
        return;
    const float width = m_picture.GetWidth();
    const float height = m_picture.GetHeight();
    m_piece.SetTexture(m_picture.GetTexture());
    m_piece.SetColor(OpacityColour(opacity));
    if (m_borders.left + m_borders.right > width || m_borders.top + m_borders.bottom > height) {
        DrawPiece(0.0f, 0.0f, width, height, x1, y1, x2, y2);
        return;
    }
    const std::array<float, 4> sourceX = {0.0f, m_borders.left, width - m_borders.right, width};
    const std::array<float, 4> sourceY = {0.0f, m_borders.top, height - m_borders.bottom, height};
    const std::array<float, 4> x = Cuts(x1, x2 - x1, m_borders.left, m_borders.right);
    const std::array<float, 4> y = Cuts(y1, y2 - y1, m_borders.top, m_borders.bottom);
    for (std::size_t row = 0; row < 3; ++row)
        for (std::size_t column = 0; column < 3; ++column)
            DrawPiece(sourceX[column], sourceY[row], sourceX[column + 1] - sourceX[column],
                      sourceY[row + 1] - sourceY[row], x[column], y[row], x[column + 1], y[row + 1]);
}

void NineSlice::DrawPiece(float sourceX, float sourceY, float sourceWidth, float sourceHeight, float x1, float y1,
                          float x2, float y2)
{
    // A border of 0, or a rectangle that leaves a piece no room, has nothing to draw.
    if (sourceWidth <= 0.0f || sourceHeight <= 0.0f || x2 <= x1 || y2 <= y1)
        return;
    m_piece.SetTextureRect(sourceX, sourceY, sourceWidth, sourceHeight, true);
    m_piece.RenderStretch(x1, y1, x2, y2);
}

void NineSlice::Unload()
{
    m_picture.SetTexture(0);
    ResourceManager::GetSingleton().ReleaseTexture(m_picture.GetFile());
}

} // namespace Vel
