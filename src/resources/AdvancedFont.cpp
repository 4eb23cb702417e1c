#include "resources/AdvancedFont.h"

#include "core/TextCodec.h"
#include "resources/FontFace.h"
#include "resources/FontLibrary.h"
#include "resources/hgeFont.h"

namespace Vel {

AdvancedFont::AdvancedFont() = default;

AdvancedFont::~AdvancedFont() = default;

void AdvancedFont::Load(const std::u16string& name, FontLibrary& library)
{
    const std::string base = "fonts/" + TextCodec::WideToUtf8(name);
    m_regular = library.GetFace(base + ".ttf");
    m_bold = library.GetFace(base + "bd.ttf");
    m_italic = library.GetFace(base + "i.ttf");
    m_boldItalic = library.GetFace(base + "bi.ttf");
    m_bitmapFont = std::make_unique<hgeFont>(base + ".fnt", false);
}

FontFace* AdvancedFont::GetFace(FontVariant variant) const
{
    switch (variant) {
    case FontVariant::Regular:
        return m_regular;
    case FontVariant::Bold:
        return m_bold;
    case FontVariant::Italic:
        return m_italic;
    case FontVariant::BoldItalic:
        return m_boldItalic;
    }
    return nullptr;
}

} // namespace Vel
