#include "resources/FontFace.h"

#include "platform/Hge.h"
#include "resources/hgeSprite.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <hb.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace Vel {
namespace {

constexpr int kTabSpaces = 4;
constexpr int kVerticalTabLines = 4;
// A glyph's bitmap grows with the square of the size; beyond this a mistyped size would cost megabytes per letter.
constexpr long kMaxPixelSize = 1024;

FT_Face ToFace(void* face)
{
    return static_cast<FT_Face>(face);
}

bool IsUsableSize(float size)
{
    // Written so that NaN fails too.
    return size >= 0.5f && size < static_cast<float>(kMaxPixelSize) + 0.5f;
}

// The bitmap's coverage at (row, column) as 0-255. Outline glyphs render as 8-bit grey; a face may also hold
// 1-bit bitmap strikes for small sizes, which FreeType hands over instead.
std::uint32_t Coverage(const FT_Bitmap& bitmap, unsigned row, unsigned column)
{
    const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        return (line[column / 8] & (0x80u >> (column % 8))) != 0 ? 0xFFu : 0u;
    return line[column];
}

bool IsReadableBitmap(const FT_Bitmap& bitmap)
{
    return bitmap.pixel_mode == FT_PIXEL_MODE_GRAY || bitmap.pixel_mode == FT_PIXEL_MODE_MONO;
}

// White pixels with the coverage as alpha, so the vertex colour alone decides the glyph's colour.
bool CreateTexture(HGE* hge, const FT_Bitmap& bitmap, Glyph& glyph)
{
    if (bitmap.width == 0 || bitmap.rows == 0)
        return true;
    if (!IsReadableBitmap(bitmap))
        return false;
    const HTEXTURE texture = hge->Texture_Create(static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows));
    if (texture == 0)
        return false;
    const int width = hge->Texture_GetWidth(texture);
    const int height = hge->Texture_GetHeight(texture);
    std::uint32_t* pixels = width >= static_cast<int>(bitmap.width) && height >= static_cast<int>(bitmap.rows)
                                ? hge->Texture_Lock(texture, false)
                                : nullptr;
    if (pixels == nullptr) {
        hge->Texture_Free(texture);
        return false;
    }
    std::fill(pixels, pixels + static_cast<std::size_t>(width) * height, 0x00FFFFFFu);
    for (unsigned row = 0; row < bitmap.rows; ++row)
        for (unsigned column = 0; column < bitmap.width; ++column)
            pixels[row * width + column] = (Coverage(bitmap, row, column) << 24) | 0x00FFFFFFu;
    hge->Texture_Unlock(texture);
    glyph.texture = texture;
    glyph.textureWidth = static_cast<float>(width);
    glyph.textureHeight = static_cast<float>(height);
    return true;
}

} // namespace

FontFace::FontFace(void* library, std::string path)
    : m_hge(hgeCreate(HGE_VERSION)), m_path(std::move(path)), m_picture(std::make_unique<hgeSprite>(0, 0, 0, 0, 0))
{
    Open(library);
}

FontFace::~FontFace()
{
    for (const auto& [character, glyph] : m_glyphs)
        m_hge->Texture_Free(glyph.texture);
    m_picture.reset();
    m_atlases.clear();
    if (m_shapingFont != nullptr)
        hb_font_destroy(static_cast<hb_font_t*>(m_shapingFont));
    if (m_face != nullptr)
        FT_Done_Face(ToFace(m_face));
    m_hge->Release();
}

void FontFace::Open(void* library)
{
    if (library == nullptr)
        return;
    FT_Face face = nullptr;
    const FT_Error error = FT_New_Face(static_cast<FT_Library>(library), m_path.c_str(), 0, &face);
    if (error != 0) {
        // A missing variant (no bold file, say) is normal; a file that is there but unreadable is worth a line.
        if (error != FT_Err_Cannot_Open_Resource)
            m_hge->System_Log("Font %s cannot be read as a TrueType face.", m_path.c_str());
        return;
    }
    if (face->charmap == nullptr || !FT_IS_SCALABLE(face)) {
        m_hge->System_Log("Font %s is not a scalable face with a character map.", m_path.c_str());
        FT_Done_Face(face);
        return;
    }
    m_face = face;
    m_hasKerning = FT_HAS_KERNING(face);
}

bool FontFace::DrawText(std::u16string_view text, float x, float y)
{
    m_penX = x;
    m_penY = y;
    std::uint32_t previous = 0;
    bool result = true;
    for (const char16_t character : text) {
        if (character == u'\t') {
            m_penX += kTabSpaces * SpaceAdvance();
        } else if (character == u'\n') {
            m_penY += m_pixelHeight;
            m_penX = x;
        } else if (character == u'\v') {
            m_penY += kVerticalTabLines * m_pixelHeight;
        } else if (const Glyph* glyph = ObtainGlyph(character)) {
            AddKerning(previous, glyph->index, m_penX, &m_penY);
            result = DrawGlyph(*glyph, m_penX, m_penY) && result;
            m_penX += static_cast<float>(glyph->advance);
            previous = glyph->index;
            continue;
        } else {
            result = false;
        }
        previous = 0;
    }
    return result;
}

float FontFace::MeasureWidth(std::u16string_view text)
{
    float width = 0.0f;
    std::uint32_t previous = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t character = text[i];
        const Glyph* glyph = nullptr;
        if (character == u'\t')
            width += kTabSpaces * SpaceAdvance();
        else if (character != u'\n' && character != u'\v')
            glyph = ObtainGlyph(character);
        if (glyph == nullptr) {
            previous = 0;
            continue;
        }
        AddKerning(previous, glyph->index, width, nullptr);
        // The last letter ends where its ink ends, not where the next letter would start.
        width += i + 1 == text.size() ? glyph->bitmapWidth : static_cast<float>(glyph->advance);
        previous = glyph->index;
    }
    return width;
}

float FontFace::MeasureHeight(std::u16string_view text) const
{
    float height = 0.0f;
    for (const char16_t character : text) {
        if (character == u'\n')
            height += m_pixelHeight;
        else if (character == u'\v')
            height += kVerticalTabLines * m_pixelHeight;
        else if (const Glyph* glyph = FindGlyph(character))
            height = std::max(height, glyph->bitmapHeight);
    }
    return height;
}

bool FontFace::MakeGlyphs(std::u16string_view text)
{
    bool result = true;
    for (const char16_t character : text)
        if (character != u'\t' && character != u'\n' && character != u'\v')
            result = FindOrMakeGlyph(character) != nullptr && result;
    return result;
}

void FontFace::SetPixelSize(float width, float height)
{
    m_pixelWidth = width;
    m_pixelHeight = height;
}

void FontFace::SetColor(std::uint32_t colour)
{
    m_picture->SetColor(colour);
}

std::uint32_t FontFace::GetColor() const
{
    return m_picture->GetColor();
}

void FontFace::SetScale(float x, float y)
{
    m_scaleX = x;
    m_scaleY = y;
}

void FontFace::SetHotSpotFactors(float x, float y)
{
    m_hotSpotX = x;
    m_hotSpotY = y;
}

const Glyph* FontFace::FindGlyph(char16_t character) const
{
    const auto [first, last] = m_glyphs.equal_range(character);
    for (auto it = first; it != last; ++it)
        if (it->second.madeWidth == m_pixelWidth && it->second.madeHeight == m_pixelHeight)
            return &it->second;
    return nullptr;
}

const Glyph* FontFace::ObtainGlyph(char16_t character)
{
    return m_loadOnUse ? FindOrMakeGlyph(character) : FindGlyph(character);
}

const Glyph* FontFace::FindOrMakeGlyph(char16_t character)
{
    if (const Glyph* glyph = FindGlyph(character))
        return glyph;
    return MakeGlyph(character);
}

// A character that fails is not recorded, so it is tried again at its next use.
const Glyph* FontFace::MakeGlyph(char16_t character)
{
    if (character == 0 || m_face == nullptr || !ApplyPixelSize())
        return nullptr;
    FT_Face face = ToFace(m_face);
    const FT_UInt index = FT_Get_Char_Index(face, character);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0)
        return nullptr;
    const FT_GlyphSlot slot = face->glyph;
    Glyph glyph;
    glyph.character = character;
    glyph.index = index;
    glyph.advance = static_cast<std::int32_t>(slot->advance.x / 64);
    glyph.madeWidth = m_pixelWidth;
    glyph.madeHeight = m_pixelHeight;
    glyph.bitmapWidth = static_cast<float>(slot->bitmap.width);
    glyph.bitmapHeight = static_cast<float>(slot->bitmap.rows);
    glyph.bitmapLeft = static_cast<float>(slot->bitmap_left);
    glyph.bitmapTop = static_cast<float>(slot->bitmap_top);
    if (!CreateTexture(m_hge, slot->bitmap, glyph))
        return nullptr;
    return &m_glyphs.emplace(character, glyph)->second;
}

bool FontFace::ApplyPixelSize()
{
    if (m_pixelWidth == m_appliedWidth && m_pixelHeight == m_appliedHeight)
        return true;
    if (!IsUsableSize(m_pixelWidth) || !IsUsableSize(m_pixelHeight))
        return false;
    const auto width = static_cast<FT_UInt>(std::lround(m_pixelWidth));
    const auto height = static_cast<FT_UInt>(std::lround(m_pixelHeight));
    if (FT_Set_Pixel_Sizes(ToFace(m_face), width, height) != 0)
        return false;
    m_appliedWidth = m_pixelWidth;
    m_appliedHeight = m_pixelHeight;
    return true;
}

float FontFace::SpaceAdvance()
{
    const Glyph* space = FindOrMakeGlyph(u' ');
    return space != nullptr ? static_cast<float>(space->advance) : 0.0f;
}

void FontFace::AddKerning(std::uint32_t previous, std::uint32_t index, float& x, float* y)
{
    // Cached glyphs may have been found while FreeType still held another size, and kerning is scaled by it.
    if (previous == 0 || !m_hasKerning || !m_useKerning || !ApplyPixelSize())
        return;
    FT_Vector delta{0, 0};
    if (FT_Get_Kerning(ToFace(m_face), previous, index, FT_KERNING_DEFAULT, &delta) != 0)
        return;
    x += static_cast<float>(delta.x / 64);
    if (y != nullptr)
        *y += static_cast<float>(delta.y / 64);
}

bool FontFace::HasCharacter(char32_t character) const
{
    return m_face != nullptr && FT_Get_Char_Index(ToFace(m_face), character) != 0;
}

FontFace::Metrics FontFace::GetMetrics(int pixelSize)
{
    auto* font = static_cast<hb_font_t*>(GetShapingFont(pixelSize));
    hb_font_extents_t extents{};
    if (font == nullptr || !hb_font_get_h_extents(font, &extents))
        return Metrics{.ascender = static_cast<float>(pixelSize)};
    return Metrics{.ascender = static_cast<float>(extents.ascender) / 64.0f,
                   .descender = static_cast<float>(extents.descender) / 64.0f,
                   .lineGap = static_cast<float>(extents.line_gap) / 64.0f};
}

void* FontFace::GetShapingFont(int pixelSize)
{
    if (!m_shapingTried && m_face != nullptr) {
        m_shapingTried = true;
        // HarfBuzz reads the file itself and scales without FreeType, so the sizes set on the FreeType face for
        // rasterising never change the shaping.
        hb_blob_t* blob = hb_blob_create_from_file_or_fail(m_path.c_str());
        if (blob == nullptr) {
            m_hge->System_Log("Font %s cannot be read for shaping.", m_path.c_str());
        } else {
            hb_face_t* face = hb_face_create(blob, 0);
            m_shapingFont = hb_font_create(face);
            hb_face_destroy(face);
            hb_blob_destroy(blob);
        }
    }
    // Kept to the sizes that make glyphs, so that the scale in 1/64 pixels cannot overflow.
    const int scale = std::clamp(pixelSize, 1, static_cast<int>(kMaxPixelSize)) * 64;
    if (m_shapingFont != nullptr)
        hb_font_set_scale(static_cast<hb_font_t*>(m_shapingFont), scale, scale);
    return m_shapingFont;
}

const AtlasGlyph* FontFace::GetAtlasGlyph(std::uint32_t index, int pixelSize)
{
    GlyphAtlas& atlas = AtlasFor(pixelSize);
    if (const AtlasGlyph* glyph = atlas.Find(index))
        return glyph;
    return RasteriseInto(atlas, index, pixelSize);
}

GlyphAtlas& FontFace::AtlasFor(int pixelSize)
{
    if (m_lastAtlas != nullptr && m_lastAtlasSize == pixelSize)
        return *m_lastAtlas;
    std::unique_ptr<GlyphAtlas>& atlas = m_atlases[pixelSize];
    if (!atlas)
        atlas = std::make_unique<GlyphAtlas>();
    m_lastAtlasSize = pixelSize;
    m_lastAtlas = atlas.get();
    return *atlas;
}

const AtlasGlyph* FontFace::RasteriseInto(GlyphAtlas& atlas, std::uint32_t index, int pixelSize)
{
    FT_Face face = ToFace(m_face);
    // The slider path sets its own size again before its next glyph.
    m_appliedWidth = 0.0f;
    m_appliedHeight = 0.0f;
    // Outlines only: a face's 1-bit strikes would come out in another pixel format.
    const bool rendered = face != nullptr && pixelSize > 0 && pixelSize <= kMaxPixelSize &&
                          FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) == 0 &&
                          FT_Load_Glyph(face, index, FT_LOAD_RENDER | FT_LOAD_NO_BITMAP) == 0 &&
                          face->glyph->bitmap.pixel_mode == FT_PIXEL_MODE_GRAY;
    if (!rendered) // recorded without pixels, so it is not tried again every frame
        return atlas.Add(index, CoverageBitmap{}, 0.0f, 0.0f);
    const FT_GlyphSlot slot = face->glyph;
    const CoverageBitmap bitmap{.rows = slot->bitmap.buffer,
                                .width = static_cast<int>(slot->bitmap.width),
                                .height = static_cast<int>(slot->bitmap.rows),
                                .pitch = slot->bitmap.pitch};
    return atlas.Add(index, bitmap, static_cast<float>(slot->bitmap_left), static_cast<float>(slot->bitmap_top));
}

bool FontFace::DrawGlyph(const Glyph& glyph, float penX, float penY)
{
    // A glyph without pixels (a space) has nothing to draw and is not a failure.
    if (glyph.bitmapWidth == 0.0f || glyph.bitmapHeight == 0.0f)
        return true;
    if (glyph.texture == 0)
        return false;
    const float left = penX + glyph.bitmapLeft;
    const float top = penY - glyph.bitmapTop;
    const float hotX = glyph.bitmapWidth * m_hotSpotX;
    const float hotY = glyph.bitmapHeight * m_hotSpotY;
    m_picture->SetTexture(glyph.texture);
    m_picture->SetTextureRect(0, 0, glyph.textureWidth, glyph.textureHeight);
    m_picture->SetHotSpot(hotX, hotY);
    m_picture->RenderEx(left + hotX, top + hotY, m_rotation, m_scaleX, m_scaleY);
    m_picture->SetHotSpot(0, 0);
    return true;
}

} // namespace Vel
