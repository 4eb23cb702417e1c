#include "resources/GlyphAtlas.h"

#include <algorithm>

namespace Vel {
namespace {

// A blank column and row between glyphs, so filtering at a glyph's edge never picks up its neighbour.
constexpr int kPadding = 1;

} // namespace

GlyphAtlas::GlyphAtlas() : m_hge(hgeCreate(HGE_VERSION)) {}

GlyphAtlas::~GlyphAtlas()
{
    for (const HTEXTURE page : m_pages)
        m_hge->Texture_Free(page);
    m_hge->Release();
}

const AtlasGlyph* GlyphAtlas::Find(std::uint32_t index) const
{
    const auto it = m_glyphs.find(index);
    return it != m_glyphs.end() ? &it->second : nullptr;
}

const AtlasGlyph* GlyphAtlas::Add(std::uint32_t index, const CoverageBitmap& bitmap, float left, float top)
{
    AtlasGlyph glyph{.left = left, .top = top};
    if (bitmap.width > 0 && bitmap.height > 0) {
        int x = 0;
        int y = 0;
        if (!Reserve(bitmap.width, bitmap.height, x, y))
            return nullptr;
        Copy(bitmap, x, y);
        glyph.texture = m_pages.back();
        glyph.u = static_cast<float>(x);
        glyph.v = static_cast<float>(y);
        glyph.width = static_cast<float>(bitmap.width);
        glyph.height = static_cast<float>(bitmap.height);
    }
    return &m_glyphs.insert_or_assign(index, glyph).first->second;
}

// Rows fill left to right; a glyph that does not fit starts a new row, and one that fits no row starts a page.
bool GlyphAtlas::Reserve(int width, int height, int& x, int& y)
{
    if (width + kPadding > kPageSize || height + kPadding > kPageSize)
        return false;
    if (!m_pages.empty() && m_rowX + width + kPadding > kPageSize) {
        m_rowX = 0;
        m_rowY += m_rowHeight;
        m_rowHeight = 0;
    }
    if (m_pages.empty() || m_rowY + height + kPadding > kPageSize) {
        if (!AddPage())
            return false;
    }
    x = m_rowX;
    y = m_rowY;
    m_rowX += width + kPadding;
    m_rowHeight = std::max(m_rowHeight, height + kPadding);
    return true;
}

bool GlyphAtlas::AddPage()
{
    const HTEXTURE page = m_hge->Texture_Create(kPageSize, kPageSize);
    if (page == 0)
        return false;
    if (m_hge->Texture_GetWidth(page) < kPageSize || m_hge->Texture_GetHeight(page) < kPageSize) {
        m_hge->Texture_Free(page);
        return false;
    }
    std::uint32_t* pixels = m_hge->Texture_Lock(page, false);
    if (pixels == nullptr) {
        m_hge->Texture_Free(page);
        return false;
    }
    const int pitch = m_hge->Texture_GetWidth(page);
    std::fill(pixels, pixels + static_cast<std::size_t>(pitch) * m_hge->Texture_GetHeight(page), 0x00FFFFFFu);
    m_hge->Texture_Unlock(page);
    m_pages.push_back(page);
    m_rowX = 0;
    m_rowY = 0;
    m_rowHeight = 0;
    return true;
}

void GlyphAtlas::Copy(const CoverageBitmap& bitmap, int x, int y)
{
    const HTEXTURE page = m_pages.back();
    // Only the glyph's rectangle goes to the device; rows of the lock are a whole page row apart.
    std::uint32_t* pixels = m_hge->Texture_Lock(page, false, x, y, bitmap.width, bitmap.height);
    if (pixels == nullptr)
        return;
    const int pitch = m_hge->Texture_GetWidth(page);
    for (int row = 0; row < bitmap.height; ++row) {
        const unsigned char* source = bitmap.rows + static_cast<long>(row) * bitmap.pitch;
        std::uint32_t* target = pixels + static_cast<std::size_t>(row) * pitch;
        for (int column = 0; column < bitmap.width; ++column)
            target[column] = (static_cast<std::uint32_t>(source[column]) << 24) | 0x00FFFFFFu;
    }
    m_hge->Texture_Unlock(page);
}

} // namespace Vel
