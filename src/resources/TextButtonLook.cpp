#include "resources/TextButtonLook.h"

#include "core/TextCodec.h"
#include "data/Translations.h"
#include "resources/Style.h"
#include "resources/TextLayout.h"
#include "resources/hgeFont.h"

#include <cstdint>
#include <limits>
#include <utility>

namespace Vel {

namespace {

// The style's colour with its alpha scaled by the node's opacity.
std::uint32_t FadedColour(const Style& style, float opacity)
{
    const std::uint32_t argb = style.GetArgb();
    if (!(opacity > 0.0f))
        opacity = 0.0f;
    if (opacity > 1.0f)
        opacity = 1.0f;
    const auto alpha = static_cast<std::uint32_t>(static_cast<float>(argb >> 24) * opacity);
    return alpha << 24 | (argb & 0x00FFFFFFu);
}

} // namespace

TextButtonLook::TextButtonLook() = default;

TextButtonLook::TextButtonLook(Values values) : m_values(std::move(values)) {}

TextButtonLook::~TextButtonLook() = default;

void TextButtonLook::SetValues(Values values)
{
    m_values = std::move(values);
    m_hasLayout = false;
}

void TextButtonLook::Render(float x, float y, float /*zoom*/, float opacity)
{
    if (m_standIn != nullptr) {
        m_standIn->Render(x, y, 1.0f, opacity);
        return;
    }
    if (m_values.picture != nullptr)
        m_values.picture->RenderStretched(x, y, x + m_values.width, y + m_values.height, opacity);
    if (m_values.style == nullptr || m_values.label.empty())
        return;
    const std::u16string& text = Translations::Get().Text({}, m_values.label);
    if (!m_hasLayout || text != m_laidOut || m_laidOutTrueType != m_values.style->DrawsTrueType())
        LayOut(text);
    if (m_laidOutTrueType)
        DrawTrueType(x, y, opacity);
    else
        DrawBitmap(x, y, opacity);
}

void TextButtonLook::LayOut(const std::u16string& text)
{
    m_hasLayout = true;
    m_laidOut = text;
    m_laidOutTrueType = m_values.style->DrawsTrueType();
    if (!m_laidOutTrueType) {
        m_codePageText = TextCodec::WideToCodePage(text);
        return;
    }
    if (!m_layout)
        m_layout = std::make_unique<TextLayout>();
    m_layout->Set(text, *m_values.style);
    const float unbounded = std::numeric_limits<float>::max();
    m_layout->Arrange(m_layout->GetGraphemes(), unbounded, unbounded);
}

void TextButtonLook::DrawTrueType(float x, float y, float opacity)
{
    const float left = x + (m_values.width - m_layout->GetEndX()) * 0.5f;
    const float top = y + (m_values.height - m_layout->GetEndY()) * 0.5f;
    m_layout->Draw(left, top, FadedColour(*m_values.style, opacity));
}

void TextButtonLook::DrawBitmap(float x, float y, float opacity)
{
    hgeFont* font = m_values.style->GetBitmapFont();
    if (font == nullptr)
        return;
    // The style's font is shared with the text boxes: its colour is put back.
    const std::uint32_t colour = font->GetColor();
    font->SetColor(FadedColour(*m_values.style, opacity));
    const float height = font->GetHeight() * font->GetScale();
    font->Render(x + m_values.width * 0.5f, y + (m_values.height - height) * 0.5f, HGETEXT_CENTER, m_codePageText);
    font->SetColor(colour);
}

} // namespace Vel
