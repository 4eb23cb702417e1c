#include "resources/TextShaper.h"

#include "platform/Hge.h"
#include "resources/FontFace.h"

#include <hb.h>
#include <unicode/ubidi.h>
#include <unicode/ubrk.h>
#include <unicode/uchar.h>
#include <unicode/uscript.h>
#include <unicode/utf16.h>

#include <algorithm>

namespace Vel {
namespace {

UBreakIterator* ToIterator(void* iterator)
{
    return static_cast<UBreakIterator*>(iterator);
}

char32_t CodePointAt(std::u16string_view text, std::size_t at)
{
    UChar32 character = 0;
    U16_GET(text.data(), 0, at, text.size(), character);
    return static_cast<char32_t>(character);
}

// The script a code point sets for its run; common characters (digits, punctuation, blanks) and combining marks
// take the run's script, so they never split it.
std::int32_t OwnScript(char32_t character)
{
    UErrorCode status = U_ZERO_ERROR;
    const UScriptCode script = uscript_getScript(static_cast<UChar32>(character), &status);
    if (U_FAILURE(status) || script == USCRIPT_COMMON || script == USCRIPT_INHERITED)
        return USCRIPT_INVALID_CODE;
    return script;
}

hb_script_t ToHarfBuzz(std::int32_t script)
{
    if (script == USCRIPT_INVALID_CODE)
        return HB_SCRIPT_COMMON;
    return hb_script_from_string(uscript_getShortName(static_cast<UScriptCode>(script)), -1);
}

const UChar* ToIcu(std::u16string_view text)
{
    return reinterpret_cast<const UChar*>(text.data());
}

} // namespace

TextShaper::TextShaper() : m_buffer(hb_buffer_create())
{
    UErrorCode status = U_ZERO_ERROR;
    m_characters = ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status);
    status = U_ZERO_ERROR;
    m_lines = ubrk_open(UBRK_LINE, "", nullptr, 0, &status);
    status = U_ZERO_ERROR;
    m_bidi = ubidi_open();
}

TextShaper::~TextShaper()
{
    if (m_bidi != nullptr)
        ubidi_close(static_cast<UBiDi*>(m_bidi));
    if (m_lines != nullptr)
        ubrk_close(ToIterator(m_lines));
    if (m_characters != nullptr)
        ubrk_close(ToIterator(m_characters));
    hb_buffer_destroy(static_cast<hb_buffer_t*>(m_buffer));
}

void TextShaper::Shape(std::u16string_view text, const std::vector<FontFace*>& faces, int pixelSize, ShapedText& shaped)
{
    shaped.glyphs.clear();
    FindGraphemes(text, shaped);
    FindBreaks(text, shaped);
    ChooseFaces(text, faces);
    std::size_t start = 0;
    // Paragraph by paragraph, as each line break starts a new bidi paragraph.
    for (std::size_t end = 0; end <= text.size(); ++end) {
        if (end < text.size() && text[end] != u'\n')
            continue;
        ShapeParagraph(text, start, end, pixelSize, shaped);
        start = end + 1;
    }
}

void TextShaper::FindGraphemes(std::u16string_view text, ShapedText& shaped)
{
    m_graphemeOf.assign(text.size() + 1, 0);
    UErrorCode status = U_ZERO_ERROR;
    UBreakIterator* iterator = ToIterator(m_characters);
    if (iterator != nullptr)
        ubrk_setText(iterator, ToIcu(text), static_cast<std::int32_t>(text.size()), &status);
    std::int32_t grapheme = 0;
    std::size_t unit = 0;
    // Without ICU every unit counts as its own cluster.
    while (unit < text.size()) {
        std::int32_t next = static_cast<std::int32_t>(unit) + 1;
        if (iterator != nullptr && U_SUCCESS(status))
            next = std::max(next, ubrk_following(iterator, static_cast<std::int32_t>(unit)));
        for (; unit < static_cast<std::size_t>(next) && unit < text.size(); ++unit)
            m_graphemeOf[unit] = grapheme;
        ++grapheme;
    }
    m_graphemeOf[text.size()] = grapheme;
    shaped.graphemes = grapheme;
    shaped.breaks.assign(static_cast<std::size_t>(grapheme), LineBreak::None);
    shaped.blanks.assign(static_cast<std::size_t>(grapheme), 0);
    shaped.cuts.assign(static_cast<std::size_t>(grapheme), 1);
    shaped.starts.assign(static_cast<std::size_t>(grapheme), 0);
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (at > 0 && m_graphemeOf[at] == m_graphemeOf[at - 1])
            continue;
        const auto cluster = static_cast<std::size_t>(m_graphemeOf[at]);
        shaped.blanks[cluster] = u_isWhitespace(CodePointAt(text, at)) ? 1 : 0;
        shaped.starts[cluster] = static_cast<std::int32_t>(at);
    }
}

void TextShaper::FindBreaks(std::u16string_view text, ShapedText& shaped)
{
    UBreakIterator* iterator = ToIterator(m_lines);
    UErrorCode status = U_ZERO_ERROR;
    if (iterator == nullptr || text.empty())
        return;
    ubrk_setText(iterator, ToIcu(text), static_cast<std::int32_t>(text.size()), &status);
    if (U_FAILURE(status))
        return;
    for (std::int32_t at = ubrk_next(iterator); at != UBRK_DONE && at < static_cast<std::int32_t>(text.size());
         at = ubrk_next(iterator)) {
        const std::int32_t grapheme = m_graphemeOf[static_cast<std::size_t>(at)];
        // A break inside a cluster would split what types and draws as one.
        if (grapheme == m_graphemeOf[static_cast<std::size_t>(at - 1)])
            continue;
        shaped.breaks[static_cast<std::size_t>(grapheme)] =
            ubrk_getRuleStatus(iterator) >= UBRK_LINE_HARD ? LineBreak::Forced : LineBreak::Allowed;
    }
}

// A cluster takes the first face that has its first character, so a letter and its accents come from one face;
// the style's own face draws what no face has, as its missing-glyph box.
void TextShaper::ChooseFaces(std::u16string_view text, const std::vector<FontFace*>& faces)
{
    m_faceOf.assign(text.size(), nullptr);
    FontFace* face = faces.front();
    for (std::size_t at = 0; at < text.size(); at += U16_IS_LEAD(text[at]) && at + 1 < text.size() ? 2 : 1) {
        const char32_t character = CodePointAt(text, at);
        const bool first = at == 0 || m_graphemeOf[at] != m_graphemeOf[at - 1];
        if (first) {
            const auto found = std::find_if(faces.begin(), faces.end(), [character](FontFace* candidate) {
                return candidate->HasCharacter(character);
            });
            face = found != faces.end() ? *found : faces.front();
        }
        if (character == u'\n')
            continue;
        m_faceOf[at] = face;
        if (at + 1 < text.size() && U16_IS_LEAD(text[at]))
            m_faceOf[at + 1] = face;
        if (!face->HasCharacter(character) && NeedsGlyph(character))
            ReportMissing(character);
    }
}

void TextShaper::ShapeParagraph(std::u16string_view text, std::size_t start, std::size_t end, int pixelSize,
                                ShapedText& shaped)
{
    if (start >= end)
        return;
    auto* bidi = static_cast<UBiDi*>(m_bidi);
    UErrorCode status = U_ZERO_ERROR;
    if (bidi != nullptr)
        ubidi_setPara(bidi, ToIcu(text) + start, static_cast<std::int32_t>(end - start), UBIDI_DEFAULT_LTR, nullptr,
                      &status);
    if (bidi == nullptr || U_FAILURE(status)) {
        ShapeLevelRun(text, start, end, 0, pixelSize, shaped);
        return;
    }
    for (std::int32_t at = 0; at < static_cast<std::int32_t>(end - start);) {
        std::int32_t limit = 0;
        UBiDiLevel level = 0;
        ubidi_getLogicalRun(bidi, at, &limit, &level);
        ShapeLevelRun(text, start + static_cast<std::size_t>(at), start + static_cast<std::size_t>(limit), level,
                      pixelSize, shaped);
        at = limit;
    }
}

// A run of one direction is cut where the face or the script changes, as HarfBuzz shapes one of each at a time.
void TextShaper::ShapeLevelRun(std::u16string_view text, std::size_t start, std::size_t end, std::uint8_t level,
                               int pixelSize, ShapedText& shaped)
{
    std::size_t runStart = start;
    std::int32_t script = USCRIPT_INVALID_CODE;
    for (std::size_t at = start; at < end; ++at) {
        if (U16_IS_TRAIL(text[at]) && at > start)
            continue;
        const std::int32_t own = OwnScript(CodePointAt(text, at));
        const bool newScript = own != USCRIPT_INVALID_CODE && script != USCRIPT_INVALID_CODE && own != script;
        if (at > runStart && (newScript || m_faceOf[at] != m_faceOf[runStart])) {
            ShapeRun(text, runStart, at, script, level, pixelSize, shaped);
            runStart = at;
            script = USCRIPT_INVALID_CODE;
        }
        if (script == USCRIPT_INVALID_CODE)
            script = own;
    }
    ShapeRun(text, runStart, end, script, level, pixelSize, shaped);
}

void TextShaper::ShapeRun(std::u16string_view text, std::size_t start, std::size_t end, std::int32_t script,
                          std::uint8_t level, int pixelSize, ShapedText& shaped)
{
    FontFace* face = start < end ? m_faceOf[start] : nullptr;
    auto* font = face != nullptr ? static_cast<hb_font_t*>(face->GetShapingFont(pixelSize)) : nullptr;
    if (font == nullptr)
        return;
    auto* buffer = static_cast<hb_buffer_t*>(m_buffer);
    hb_buffer_clear_contents(buffer);
    // The whole text goes in as context, so letters join across the run's ends as they do in the text.
    hb_buffer_add_utf16(buffer, reinterpret_cast<const std::uint16_t*>(text.data()), static_cast<int>(text.size()),
                        static_cast<unsigned>(start), static_cast<int>(end - start));
    hb_buffer_set_direction(buffer, (level & 1) != 0 ? HB_DIRECTION_RTL : HB_DIRECTION_LTR);
    hb_buffer_set_script(buffer, ToHarfBuzz(script));
    hb_buffer_guess_segment_properties(buffer);
    hb_shape(font, buffer, nullptr, 0);
    unsigned count = 0;
    const hb_glyph_info_t* infos = hb_buffer_get_glyph_infos(buffer, &count);
    const hb_glyph_position_t* positions = hb_buffer_get_glyph_positions(buffer, nullptr);
    const std::size_t first = shaped.glyphs.size();
    for (unsigned i = 0; i < count; ++i)
        shaped.glyphs.push_back(ShapedGlyph{.face = face,
                                            .index = infos[i].codepoint,
                                            .advance = static_cast<float>(positions[i].x_advance) / 64.0f,
                                            .offsetX = static_cast<float>(positions[i].x_offset) / 64.0f,
                                            .offsetY = static_cast<float>(positions[i].y_offset) / 64.0f,
                                            .grapheme = static_cast<std::int32_t>(infos[i].cluster),
                                            .level = level});
    for (unsigned i = 0; i < count; ++i)
        if ((hb_glyph_info_get_glyph_flags(&infos[i]) & HB_GLYPH_FLAG_UNSAFE_TO_BREAK) != 0)
            shaped.cuts[static_cast<std::size_t>(m_graphemeOf[infos[i].cluster])] = 0;
    // HarfBuzz hands right-to-left runs over in drawing order; the layout reorders each line itself.
    if ((level & 1) != 0)
        std::reverse(shaped.glyphs.begin() + static_cast<std::ptrdiff_t>(first), shaped.glyphs.end());
    AssignGraphemes(shaped, first, end);
}

// Glyphs come with their cluster's first unit; each goes to the last grapheme of its cluster instead, so typing
// never shows a letter early: a ligature of two letters, or a conjunct, appears once all of it is typed.
void TextShaper::AssignGraphemes(ShapedText& shaped, std::size_t first, std::size_t end) const
{
    MarkClusterInsides(shaped, first, end);
    std::size_t clusterEnd = end;
    std::int32_t cluster = -1;
    for (std::size_t i = shaped.glyphs.size(); i-- > first;) {
        ShapedGlyph& glyph = shaped.glyphs[i];
        if (glyph.grapheme != cluster) {
            if (cluster >= 0)
                clusterEnd = static_cast<std::size_t>(cluster);
            cluster = glyph.grapheme;
        }
        glyph.grapheme = m_graphemeOf[clusterEnd - 1];
    }
}

// A cluster that spans graphemes (a ligature, a conjunct) cannot be cut between them.
void TextShaper::MarkClusterInsides(ShapedText& shaped, std::size_t first, std::size_t end) const
{
    std::size_t clusterEnd = end;
    for (std::size_t i = shaped.glyphs.size(); i-- > first;) {
        const auto cluster = static_cast<std::size_t>(shaped.glyphs[i].grapheme);
        for (std::size_t unit = cluster + 1; unit < clusterEnd; ++unit)
            if (m_graphemeOf[unit] != m_graphemeOf[unit - 1])
                shaped.cuts[static_cast<std::size_t>(m_graphemeOf[unit])] = 0;
        clusterEnd = std::min(clusterEnd, cluster);
    }
}

bool TextShaper::NeedsGlyph(char32_t character)
{
    const auto code = static_cast<UChar32>(character);
    return !u_iscntrl(code) && !u_hasBinaryProperty(code, UCHAR_DEFAULT_IGNORABLE_CODE_POINT);
}

void TextShaper::ReportMissing(char32_t character)
{
    if (!m_reported.insert(character).second)
        return;
    HGE* hge = hgeCreate(HGE_VERSION);
    hge->System_Log("No font of the style has U+%04X; drawn as the missing-glyph box.",
                    static_cast<unsigned>(character));
    hge->Release();
}

} // namespace Vel
