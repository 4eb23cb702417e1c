#pragma once

// One TrueType file, rasterised on demand into one small white texture per character and pixel size, with the
// coverage in the alpha channel so the glyph picture's colour tints it. Menu sliders and other TrueType text draw
// through it; the FontLibrary creates and owns every face.
//
// Text is UTF-16 and is drawn one 16-bit unit at a time: a unit the face has no glyph for (a surrogate half among
// them) is skipped without moving the pen.
//
// Styles' text goes another way: the TextShaper shapes it with the face's shaping font and the TextLayout draws the
// glyphs from the face's atlases, one per pixel size, which this class fills on first use.

#include "resources/Glyph.h"
#include "resources/GlyphAtlas.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace Vel {

class HGE;
class hgeSprite;

class FontFace
{
public:
    // Vertical measures at one pixel size, in pixels.
    struct Metrics
    {
        float ascender = 0.0f;  // from the baseline up
        float descender = 0.0f; // from the baseline down: negative below it
        float lineGap = 0.0f;
    };

    // Opens the file (UTF-8 path, read from the disk, never from archives) with the library's FreeType handle.
    // IsOpen() tells whether the face is usable: it opened and is a scalable face with a character map.
    FontFace(void* library, std::string path);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;

    [[nodiscard]] bool IsOpen() const { return m_face != nullptr; }
    [[nodiscard]] const std::string& GetPath() const { return m_path; }

    // (x, y) is the pen on the first line's baseline. False when some character could not be drawn.
    bool DrawText(std::u16string_view text, float x, float y);
    // The text as one line: line breaks count for nothing here.
    [[nodiscard]] float MeasureWidth(std::u16string_view text);
    // Uses only glyphs already made at the current size.
    [[nodiscard]] float MeasureHeight(std::u16string_view text) const;
    // Makes the text's glyphs at the current size; for faces that do not load on use. False when one failed.
    bool MakeGlyphs(std::u16string_view text);

    // Where the pen stood when the last DrawText ended.
    [[nodiscard]] float GetPenX() const { return m_penX; }

    // The size glyphs are made at and the line height; sizes outside 1..1024 pixels make no glyphs.
    void SetPixelSize(float width, float height);
    [[nodiscard]] float GetPixelWidth() const { return m_pixelWidth; }
    [[nodiscard]] float GetPixelHeight() const { return m_pixelHeight; }
    // Off: drawing and measuring use only glyphs made beforehand (MakeGlyphs).
    void SetLoadOnUse(bool loadOnUse) { m_loadOnUse = loadOnUse; }
    void SetUseKerning(bool useKerning) { m_useKerning = useKerning; }

    void SetColor(std::uint32_t colour);
    [[nodiscard]] std::uint32_t GetColor() const;
    // Scaling and rotation (radians) turn each glyph about the point the hot-spot factors pick inside its bitmap.
    void SetScale(float x, float y);
    void SetRotation(float rotation) { m_rotation = rotation; }
    void SetHotSpotFactors(float x, float y);

    // The record of the character at the current size, if it has been made.
    [[nodiscard]] const Glyph* FindGlyph(char16_t character) const;
    // How far a blank moves the pen at the current size, in pixels.
    [[nodiscard]] float SpaceAdvance();

    [[nodiscard]] bool HasCharacter(char32_t character) const;
    [[nodiscard]] Metrics GetMetrics(int pixelSize);
    // HarfBuzz's font of the file, scaled so that positions come in 1/64 pixels at the size; nullptr when HarfBuzz
    // cannot read the file. Opaque here: only the text shaper's source knows its type.
    [[nodiscard]] void* GetShapingFont(int pixelSize);
    // The glyph (by its number inside the face) at the size, rasterised into the size's atlas at the first request.
    // nullptr only when the atlas has no room; a glyph FreeType cannot render comes back without pixels.
    const AtlasGlyph* GetAtlasGlyph(std::uint32_t index, int pixelSize);

private:
    void Open(void* library);
    [[nodiscard]] GlyphAtlas& AtlasFor(int pixelSize);
    const AtlasGlyph* RasteriseInto(GlyphAtlas& atlas, std::uint32_t index, int pixelSize);
    [[nodiscard]] const Glyph* ObtainGlyph(char16_t character);
    [[nodiscard]] const Glyph* FindOrMakeGlyph(char16_t character);
    [[nodiscard]] const Glyph* MakeGlyph(char16_t character);
    [[nodiscard]] bool ApplyPixelSize();
    // The pair's kerning in whole pixels, (0, 0) when kerning is off or unknown.
    void AddKerning(std::uint32_t previous, std::uint32_t index, float& x, float* y);
    bool DrawGlyph(const Glyph& glyph, float penX, float penY);

    HGE* m_hge = nullptr; // one reference, released on destruction
    std::string m_path;
    void* m_face = nullptr; // FreeType's face handle, kept opaque outside this class
    float m_pixelWidth = 32.0f;
    float m_pixelHeight = 32.0f;
    float m_appliedWidth = 0.0f; // the size FreeType was last set to
    float m_appliedHeight = 0.0f;
    bool m_loadOnUse = true;
    bool m_hasKerning = false;
    bool m_useKerning = true;
    std::unique_ptr<hgeSprite> m_picture; // draws every glyph, so drawing allocates nothing once glyphs exist
    float m_hotSpotX = 0.5f;
    float m_hotSpotY = 0.5f;
    float m_scaleX = 1.0f;
    float m_scaleY = 1.0f;
    float m_rotation = 0.0f;
    float m_penX = 0.0f;
    float m_penY = 0.0f;
    std::multimap<char16_t, Glyph> m_glyphs; // one record per character and pixel size
    void* m_shapingFont = nullptr;           // HarfBuzz's font, made at the first request
    bool m_shapingTried = false;
    std::map<int, std::unique_ptr<GlyphAtlas>> m_atlases; // by pixel size
    int m_lastAtlasSize = 0; // the atlas found last, as a text asks for the same size glyph after glyph
    GlyphAtlas* m_lastAtlas = nullptr;
};

} // namespace Vel
