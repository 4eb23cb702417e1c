#pragma once

// Turns a style's text into positioned glyphs: grapheme clusters and line-break opportunities by the Unicode rules
// (ICU), right-to-left runs by the bidi algorithm (ICU), the face of each cluster from the style's face and its
// fallbacks, and glyphs by shaping (HarfBuzz). The FontLibrary owns one, which every TextLayout uses when its text
// is set; it logs each character that no face can show once per run of the program.

#include <cstdint>
#include <set>
#include <string_view>
#include <vector>

namespace Vel {

class FontFace;

// What may happen in front of a grapheme cluster.
enum class LineBreak : std::uint8_t
{
    None,
    Allowed,
    Forced,
};

struct ShapedGlyph
{
    FontFace* face = nullptr;
    std::uint32_t index = 0; // the glyph's number inside the face; 0 is the face's missing-glyph box
    float advance = 0.0f;    // pixels the pen moves on
    float offsetX = 0.0f;    // from the pen, pixels (y up)
    float offsetY = 0.0f;
    std::int32_t grapheme = 0; // the cluster of the text it belongs to
    std::uint8_t level = 0;    // bidi embedding level: odd levels run right to left
};

// A shaped text in logical order: each cluster's glyphs after the previous cluster's ones.
struct ShapedText
{
    std::vector<ShapedGlyph> glyphs{};
    std::vector<LineBreak> breaks{};    // one per cluster
    std::vector<std::uint8_t> blanks{}; // one per cluster: 1 for white space, which may hang past a line's end
    // One per cluster: 1 when the text cut in front of it shapes as before up to there, so a typed part ending
    // there looks like the same glyphs of the whole text; 0 inside a ligature, between joining letters, or where
    // kerning or other context ties it to the one before.
    std::vector<std::uint8_t> cuts{};
    std::vector<std::int32_t> starts{}; // one per cluster: its first UTF-16 unit in the text
    std::int32_t graphemes = 0;
};

class TextShaper
{
public:
    TextShaper();
    ~TextShaper();
    TextShaper(const TextShaper&) = delete;
    TextShaper& operator=(const TextShaper&) = delete;

    // faces: the style's face, then its fallbacks in order; none null, at least one. "\n" in the text forces a line
    // break and draws nothing. The faces must outlive the shaped glyphs. Allocates nothing once the vectors of
    // shaped and the shaper's own buffers have held a text as long.
    void Shape(std::u16string_view text, const std::vector<FontFace*>& faces, int pixelSize, ShapedText& shaped);
    // False for what draws nothing of its own (controls, joiners, variation selectors): no face needs to have it.
    [[nodiscard]] static bool NeedsGlyph(char32_t character);

private:
    void FindGraphemes(std::u16string_view text, ShapedText& shaped);
    void FindBreaks(std::u16string_view text, ShapedText& shaped);
    void ChooseFaces(std::u16string_view text, const std::vector<FontFace*>& faces);
    void ShapeParagraph(std::u16string_view text, std::size_t start, std::size_t end, int pixelSize,
                        ShapedText& shaped);
    void ShapeLevelRun(std::u16string_view text, std::size_t start, std::size_t end, std::uint8_t level, int pixelSize,
                       ShapedText& shaped);
    void ShapeRun(std::u16string_view text, std::size_t start, std::size_t end, std::int32_t script, std::uint8_t level,
                  int pixelSize, ShapedText& shaped);
    void AssignGraphemes(ShapedText& shaped, std::size_t first, std::size_t end) const;
    void MarkClusterInsides(ShapedText& shaped, std::size_t first, std::size_t end) const;
    void ReportMissing(char32_t character);

    void* m_buffer = nullptr;                 // HarfBuzz's glyph buffer, reused from run to run
    void* m_characters = nullptr;             // ICU's grapheme cluster iterator
    void* m_lines = nullptr;                  // ICU's line-break iterator
    void* m_bidi = nullptr;                   // ICU's bidi object
    std::vector<std::int32_t> m_graphemeOf{}; // per UTF-16 unit of the text being shaped
    std::vector<FontFace*> m_faceOf{};        // per UTF-16 unit; null for line breaks
    std::set<char32_t> m_reported{};
};

} // namespace Vel
