#pragma once

// The rasterised glyphs of one face at one pixel size, packed in rows onto white textures that carry the coverage
// in their alpha channel, so the colour a text is drawn in is the vertex colour alone. A page is added whenever the
// last one is full, so the atlas grows with the characters a game uses. Each FontFace owns one atlas per size.

#include "platform/Hge.h"

#include <cstdint>
#include <unordered_map>
#include <vector>

namespace Vel {

// Where one glyph's pixels are and where they go relative to the pen on the baseline.
struct AtlasGlyph
{
    HTEXTURE texture = 0; // 0 for a glyph without pixels (a space)
    float u = 0.0f;       // the pixels' top-left corner on the texture
    float v = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float left = 0.0f; // from the pen to the pixels' left edge
    float top = 0.0f;  // from the baseline up to the pixels' top edge
};

// 8-bit coverage rows, as a rasteriser hands them over.
struct CoverageBitmap
{
    const unsigned char* rows = nullptr;
    int width = 0;
    int height = 0;
    int pitch = 0; // bytes from one row to the next
};

class GlyphAtlas
{
public:
    static constexpr int kPageSize = 512;

    GlyphAtlas();
    ~GlyphAtlas(); // frees the pages
    GlyphAtlas(const GlyphAtlas&) = delete;
    GlyphAtlas& operator=(const GlyphAtlas&) = delete;

    // nullptr when the glyph (by its number inside the face) has not been added.
    [[nodiscard]] const AtlasGlyph* Find(std::uint32_t index) const;
    // Copies the pixels onto a page; the record lives as long as the atlas. nullptr when no page could take them
    // (a glyph larger than a page, or no texture), which leaves the glyph undrawn.
    const AtlasGlyph* Add(std::uint32_t index, const CoverageBitmap& bitmap, float left, float top);
    [[nodiscard]] std::size_t GetPageCount() const { return m_pages.size(); }

private:
    [[nodiscard]] bool Reserve(int width, int height, int& x, int& y);
    [[nodiscard]] bool AddPage();
    void Copy(const CoverageBitmap& bitmap, int x, int y);

    HGE* m_hge = nullptr; // one reference, released on destruction
    std::vector<HTEXTURE> m_pages;
    int m_rowX = 0; // the free place on the last page's current row
    int m_rowY = 0;
    int m_rowHeight = 0;
    std::unordered_map<std::uint32_t, AtlasGlyph> m_glyphs; // node-based: records keep their address
};

} // namespace Vel
