#include "resources/Style.h"

#include "resources/AdvancedFont.h"

namespace Vel {

Style::Style() = default;

Style::~Style() = default;

void Style::Set(const std::u16string& fontName, std::int32_t size, std::int32_t lineSpacing, const std::u16string& tag,
                std::int32_t speed, const std::u16string& clickme, float red, float green, float blue, float alpha,
                FontLibrary& library)
{
    if (!m_font)
        m_font = std::make_unique<AdvancedFont>();
    // Loaded at every call: the script may redefine a style with another font name.
    m_font->Load(fontName, library);
    m_size = size;
    m_lineSpacing = lineSpacing;
    m_tag = tag;
    m_speed = speed;
    m_clickme = clickme;
    m_red = red;
    m_green = green;
    m_blue = blue;
    m_alpha = alpha;
}

hgeFont* Style::GetBitmapFont() const
{
    return m_font ? m_font->GetBitmapFont() : nullptr;
}

} // namespace Vel
