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
    m_font->Load(values.font, library);
    m_values = values;
}

hgeFont* Style::GetBitmapFont() const
{
    return m_font ? m_font->GetBitmapFont() : nullptr;
}

} // namespace Vel
