#include "resources/Style.h"

#include "resources/AdvancedFont.h"

namespace Vel {

Style::Style() = default;

Style::~Style() = default;

void Style::Set(const Values& values, FontLibrary& library)
{
    if (!m_font)
        m_font = std::make_unique<AdvancedFont>();
    // Loaded at every call: the script may redefine a style with another font name.
    m_font->Load(values.font, values.fallback, library);
    m_values = values;
}

std::uint32_t Style::GetArgb() const
{
    // Written so that NaN gives 0 as well.
    const auto channel = [](float value) -> std::uint32_t {
        if (!(value > 0.0f))
            return 0;
        return value >= 1.0f ? 255u : static_cast<std::uint32_t>(value * 255.0f);
    };
    return channel(m_values.alpha) << 24 | channel(m_values.red) << 16 | channel(m_values.green) << 8 |
           channel(m_values.blue);
}

bool Style::DrawsTrueType() const
{
    return m_values.size > 0 && m_font && !m_font->GetTextFaces().empty();
}

hgeFont* Style::GetBitmapFont() const
{
    return m_font ? m_font->GetBitmapFont() : nullptr;
}

} // namespace Vel
