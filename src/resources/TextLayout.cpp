#include "resources/TextLayout.h"

#include "resources/AdvancedFont.h"
#include "resources/FontFace.h"
#include "resources/FontLibrary.h"
#include "resources/GlyphAtlas.h"
#include "resources/Style.h"

#include <unicode/ubidi.h>

#include <algorithm>
#include <cmath>

namespace Vel {

TextLayout::TextLayout() : m_hge(hgeCreate(HGE_VERSION)) {}

TextLayout::~TextLayout()
{
    if (m_hge != nullptr)
        m_hge->Release();
}

// Room for a typed part with a few glyphs more than the same part of the whole text has (a letter alone where the
// whole has a ligature), so shaping it allocates nothing.
constexpr std::size_t kPrefixSlack = 64;

void TextLayout::Set(std::u16string_view text, const Style& style)
{
    const AdvancedFont& font = *style.GetFont();
    m_text.assign(text);
    m_faces = font.GetTextFaces();
    m_shaper = &font.GetLibrary().GetShaper();
    m_size = style.GetSize();
    m_shaper->Shape(m_text, m_faces, m_size, m_whole.text);
    Prepare(m_whole);
    const std::size_t glyphs = m_whole.text.glyphs.size() + kPrefixSlack;
    const auto graphemes = static_cast<std::size_t>(m_whole.text.graphemes);
    Reserve(m_prefix, glyphs, graphemes);
    m_prefixShown = -1;
    m_current = &m_whole;
    m_lines.reserve(graphemes + 1);
    m_placed.reserve(glyphs);
    m_blits.reserve(glyphs);
    m_levels.resize(std::max(m_levels.size(), glyphs));
    m_order.resize(std::max(m_order.size(), glyphs));
    Measure(style);
    m_arrangedShown = -1;
}

void TextLayout::Reserve(Shaping& shaping, std::size_t glyphs, std::size_t graphemes) const
{
    shaping.text.glyphs.reserve(glyphs);
    shaping.atlasGlyphs.reserve(glyphs);
    for (auto* perCluster : {&shaping.text.blanks, &shaping.text.cuts})
        perCluster->reserve(graphemes);
    shaping.text.breaks.reserve(graphemes);
    shaping.text.starts.reserve(graphemes);
    shaping.firstGlyph.reserve(graphemes + 1);
    shaping.advances.reserve(graphemes);
}

// Every glyph's pixels (made now if new), each cluster's first glyph and width.
void TextLayout::Prepare(Shaping& shaping)
{
    const std::vector<ShapedGlyph>& shaped = shaping.text.glyphs;
    const std::size_t glyphs = shaped.size();
    const auto graphemes = static_cast<std::size_t>(shaping.text.graphemes);
    shaping.atlasGlyphs.resize(glyphs);
    shaping.firstGlyph.assign(graphemes + 1, static_cast<std::int32_t>(glyphs));
    shaping.advances.assign(graphemes, 0.0f);
    // Clusters come in order, though a cluster may have no glyph of its own (the first letter of a ligature).
    for (std::size_t i = glyphs; i-- > 0;) {
        const ShapedGlyph& glyph = shaped[i];
        shaping.atlasGlyphs[i] = glyph.face->GetAtlasGlyph(glyph.index, m_size);
        const auto grapheme = static_cast<std::size_t>(glyph.grapheme);
        shaping.advances[grapheme] += glyph.advance;
        shaping.firstGlyph[grapheme] = static_cast<std::int32_t>(i);
    }
    for (std::size_t g = graphemes; g-- > 0;)
        shaping.firstGlyph[g] = std::min(shaping.firstGlyph[g], shaping.firstGlyph[g + 1]);
}

// The whole text's glyphs serve a typed part that ends where the text may be cut; otherwise the part is shaped by
// itself, once per length.
const TextLayout::Shaping& TextLayout::ShapingFor(std::int32_t shown)
{
    const ShapedText& whole = m_whole.text;
    if (shown <= 0 || shown >= whole.graphemes || whole.cuts[static_cast<std::size_t>(shown)] != 0)
        return m_whole;
    if (shown != m_prefixShown) {
        const auto end = static_cast<std::size_t>(whole.starts[static_cast<std::size_t>(shown)]);
        m_shaper->Shape(std::u16string_view(m_text).substr(0, end), m_faces, m_size, m_prefix.text);
        Prepare(m_prefix);
        m_prefixShown = shown;
    }
    return m_prefix;
}

void TextLayout::Measure(const Style& style)
{
    FontFace* face = style.GetFont()->GetTextFaces().front();
    const FontFace::Metrics metrics = face->GetMetrics(style.GetSize());
    m_ascender = metrics.ascender;
    m_extent = metrics.ascender - metrics.descender;
    m_step = (m_extent + metrics.lineGap) * static_cast<float>(style.GetLineSpacing()) / 100.0f;
}

float TextLayout::GetLineStep() const
{
    return std::max(m_step, m_extent);
}

void TextLayout::Arrange(std::int32_t shown, float width, float height)
{
    shown = std::clamp(shown, 0, m_whole.text.graphemes);
    if (shown == m_arrangedShown && width == m_arrangedWidth && height == m_arrangedHeight)
        return;
    m_current = &ShapingFor(shown);
    shown = std::min(shown, m_current->text.graphemes);
    m_arrangedShown = shown;
    m_arrangedWidth = width;
    m_arrangedHeight = height;
    FindLines(shown, width);
    m_placed.clear();
    m_endX = 0.0f;
    m_endY = m_extent;
    for (std::size_t line = 0; line < m_lines.size(); ++line) {
        // Half a pixel of slack, as line tops are rounded to whole pixels.
        if (LineTop(line) + m_extent > height + 0.5f)
            break;
        m_endX = PlaceLine(m_lines[line], LineTop(line) + m_ascender);
        m_endY = LineTop(line) + m_extent;
    }
}

float TextLayout::LineTop(std::size_t line) const
{
    return std::round(static_cast<float>(line) * m_step);
}

// Greedy filling: a line ends at the last break opportunity that fits; a cluster wider than the whole line by
// itself goes on its own line; blanks may hang past the edge, as they end lines anyway.
void TextLayout::FindLines(std::int32_t shown, float width)
{
    m_lines.clear();
    std::int32_t first = 0;
    std::int32_t lastBreak = -1;
    float used = 0.0f;
    float usedAtBreak = 0.0f;
    for (std::int32_t g = 0; g < shown; ++g) {
        const LineBreak kind = m_current->text.breaks[static_cast<std::size_t>(g)];
        if (g > first && kind == LineBreak::Forced) {
            AddLine(first, g);
            first = g;
            lastBreak = -1;
            used = 0.0f;
        } else if (g > first && kind == LineBreak::Allowed) {
            lastBreak = g;
            usedAtBreak = used;
        }
        used += m_current->advances[static_cast<std::size_t>(g)];
        if (used <= width || g == first || m_current->text.blanks[static_cast<std::size_t>(g)] != 0)
            continue;
        const std::int32_t cut = lastBreak > first ? lastBreak : g;
        AddLine(first, cut);
        used = cut == lastBreak ? used - usedAtBreak : m_current->advances[static_cast<std::size_t>(g)];
        first = cut;
        lastBreak = -1;
    }
    AddLine(first, shown);
}

void TextLayout::AddLine(std::int32_t first, std::int32_t end)
{
    m_lines.push_back(Line{first, end});
}

// Glyphs go from logical to drawing order by the bidi levels of the line alone, as the bidi algorithm reorders
// after breaking lines; returns the pen's place after the line.
float TextLayout::PlaceLine(const Line& line, float baseline)
{
    const std::vector<std::int32_t>& firstGlyph = m_current->firstGlyph;
    const std::int32_t begin = firstGlyph[static_cast<std::size_t>(line.first)];
    const std::int32_t count = firstGlyph[static_cast<std::size_t>(line.end)] - begin;
    if (m_levels.size() < static_cast<std::size_t>(count)) {
        m_levels.resize(static_cast<std::size_t>(count));
        m_order.resize(static_cast<std::size_t>(count));
    }
    bool mixed = false;
    for (std::int32_t i = 0; i < count; ++i) {
        m_levels[static_cast<std::size_t>(i)] = m_current->text.glyphs[static_cast<std::size_t>(begin + i)].level;
        m_order[static_cast<std::size_t>(i)] = i;
        mixed = mixed || m_levels[static_cast<std::size_t>(i)] != 0;
    }
    if (mixed && count > 0)
        ubidi_reorderVisual(m_levels.data(), count, m_order.data());
    float pen = 0.0f;
    for (std::int32_t i = 0; i < count; ++i) {
        const auto at = static_cast<std::size_t>(begin + m_order[static_cast<std::size_t>(i)]);
        const ShapedGlyph& glyph = m_current->text.glyphs[at];
        const AtlasGlyph* pixels = m_current->atlasGlyphs[at];
        if (pixels != nullptr && pixels->texture != 0)
            m_placed.push_back(Placed{pixels, std::round(pen + glyph.offsetX + pixels->left),
                                      baseline - std::round(glyph.offsetY + pixels->top)});
        pen += glyph.advance;
    }
    return std::round(pen);
}

namespace {

// The pixel a glyph's corner falls in: a baseline can lie between pixels. A box far outside the screen draws nothing
// either way; the clamp keeps the conversion defined.
int ToPixel(float value)
{
    constexpr float kFar = 1 << 24;
    return static_cast<int>(std::clamp(std::floor(value), -kFar, kFar));
}

} // namespace

// The glyphs of one atlas page go to the 2D library together, which draws them as one quad each would be drawn.
void TextLayout::Draw(float x, float y, std::uint32_t colour)
{
    if (m_hge == nullptr)
        return;
    HTEXTURE current = 0;
    m_blits.clear();
    for (const Placed& placed : m_placed) {
        const AtlasGlyph& glyph = *placed.glyph;
        if (glyph.texture != current && !m_blits.empty()) {
            m_hge->Gfx_RenderBlits(current, m_blits.data(), static_cast<int>(m_blits.size()), colour);
            m_blits.clear();
        }
        current = glyph.texture;
        m_blits.push_back(hgeBlit{static_cast<int>(glyph.u), static_cast<int>(glyph.v), static_cast<int>(glyph.width),
                                  static_cast<int>(glyph.height), ToPixel(std::round(x) + placed.x),
                                  ToPixel(std::round(y) + placed.y)});
    }
    if (!m_blits.empty())
        m_hge->Gfx_RenderBlits(current, m_blits.data(), static_cast<int>(m_blits.size()), colour);
}

} // namespace Vel
