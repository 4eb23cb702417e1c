#pragma once

// A style's text laid out in a box on the TrueType path: shaped once when it is set (every glyph it needs goes into
// its face's atlas then), placed line by line for any typed part of it, and drawn from the atlases in one colour.
// A typed part that ends where shaping ties a letter to the next (joining letters, a ligature, a kerned pair) is
// shaped again by itself, so it looks exactly as it would shown whole.
// The pen starts at the box's left edge, the first line's ascender touches the box's top, and each further line is
// the face's line height times the style's line spacing lower; lines that would reach below the box are not drawn.
// Text boxes own one each; placing and drawing allocate nothing.

#include "platform/Hge.h"
#include "resources/TextShaper.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Vel {

class FontFace;
class Style;
struct AtlasGlyph;

class TextLayout
{
public:
    TextLayout();
    ~TextLayout();
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;

    // The style must draw TrueType text (Style::DrawsTrueType); its faces must outlive the layout's text. "\n"
    // starts a new line.
    void Set(std::u16string_view text, const Style& style);
    // The steps the text is typed in: its grapheme clusters.
    [[nodiscard]] std::int32_t GetGraphemes() const { return m_whole.text.graphemes; }
    // Places the first `shown` clusters in a box of the size exactly as they would be placed as a whole text.
    void Arrange(std::int32_t shown, float width, float height);
    // What Arrange placed, the box's top-left corner at (x, y), in the colour 0xAARRGGBB.
    void Draw(float x, float y, std::uint32_t colour);

    // After Arrange, relative to the box: the pen after the last placed line, and that line's bottom.
    [[nodiscard]] float GetEndX() const { return m_endX; }
    [[nodiscard]] float GetEndY() const { return m_endY; }
    // From one line's top to the next one's, at least a line's own height.
    [[nodiscard]] float GetLineStep() const;
    // How many lines the placed text has, counting those below the box that are not drawn.
    [[nodiscard]] std::size_t GetLineCount() const { return m_lines.size(); }

private:
    struct Line
    {
        std::int32_t first = 0; // clusters [first, end)
        std::int32_t end = 0;
    };
    struct Placed
    {
        const AtlasGlyph* glyph = nullptr;
        float x = 0.0f;
        float y = 0.0f;
    };
    // A shaped text with what placing it needs.
    struct Shaping
    {
        ShapedText text;
        std::vector<const AtlasGlyph*> atlasGlyphs{}; // one per shaped glyph
        std::vector<std::int32_t> firstGlyph{};       // per cluster and one past the last: its first glyph
        std::vector<float> advances{};                // per cluster
    };

    void Prepare(Shaping& shaping);
    void Reserve(Shaping& shaping, std::size_t glyphs, std::size_t graphemes) const;
    [[nodiscard]] const Shaping& ShapingFor(std::int32_t shown);
    void Measure(const Style& style);
    void FindLines(std::int32_t shown, float width);
    void AddLine(std::int32_t first, std::int32_t end);
    [[nodiscard]] float PlaceLine(const Line& line, float baseline);
    [[nodiscard]] float LineTop(std::size_t line) const;

    std::u16string m_text;
    std::vector<FontFace*> m_faces;
    TextShaper* m_shaper = nullptr; // the font library's, which outlives every text
    int m_size = 0;
    Shaping m_whole;
    Shaping m_prefix; // the typed part shaped by itself, with room for as much as the whole
    std::int32_t m_prefixShown = -1;
    const Shaping* m_current = &m_whole; // what the placed glyphs come from
    std::vector<Line> m_lines;           // room for one line per cluster
    std::vector<Placed> m_placed;        // room for every glyph
    std::vector<std::uint8_t> m_levels;  // one line's bidi levels, then its drawing order
    std::vector<std::int32_t> m_order;
    float m_ascender = 0.0f;
    float m_extent = 0.0f; // ascender to descender
    float m_step = 0.0f;
    std::int32_t m_arrangedShown = -1; // what the placed glyphs were arranged for
    float m_arrangedWidth = 0.0f;
    float m_arrangedHeight = 0.0f;
    float m_endX = 0.0f;
    float m_endY = 0.0f;
    HGE* m_hge = nullptr;         // one reference, released on destruction
    std::vector<hgeBlit> m_blits; // room for every glyph
};

} // namespace Vel
