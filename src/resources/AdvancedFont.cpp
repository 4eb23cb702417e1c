#include "resources/AdvancedFont.h"

#include "core/TextCodec.h"
#include "platform/Hge.h"
#include "resources/FontFace.h"
#include "resources/FontLibrary.h"
#include "resources/hgeFont.h"

namespace Vel {
namespace {

void LogMissingFallback(const std::string& path)
{
    HGE* hge = hgeCreate(HGE_VERSION);
    hge->System_Log("Fallback font %s is missing or unusable; the style goes without it.", path.c_str());
    hge->Release();
}

bool HasResource(const std::string& path)
{
    HGE* hge = hgeCreate(HGE_VERSION);
    void* data = hge->Resource_Load(path.c_str());
    hge->Resource_Free(data);
    hge->Release();
    return data != nullptr;
}

} // namespace

AdvancedFont::AdvancedFont() = default;

AdvancedFont::~AdvancedFont() = default;

void AdvancedFont::Load(const std::u16string& name, const std::u16string& fallbacks, FontLibrary& library)
{
    m_library = &library;
    const std::string base = "fonts/" + TextCodec::WideToUtf8(name);
    m_regular = library.GetFace(base + ".ttf");
    m_bold = library.GetFace(base + "bd.ttf");
    m_italic = library.GetFace(base + "i.ttf");
    m_boldItalic = library.GetFace(base + "bi.ttf");
    // Beside a TrueType face a missing bitmap font is normal, not worth the log line that hgeFont writes for it;
    // without one, the line is written once however many styles name the font.
    if (HasResource(base + ".fnt") || (m_regular == nullptr && library.FirstReportOfMissing(base + ".fnt")))
        m_bitmapFont = std::make_unique<hgeFont>(base + ".fnt", false);
    else
        m_bitmapFont = std::make_unique<hgeFont>();
    m_textFaces.clear();
    if (m_regular == nullptr)
        return;
    m_textFaces.push_back(m_regular);
    for (std::size_t start = 0; start < fallbacks.size();) {
        std::size_t end = fallbacks.find(u':', start);
        if (end == std::u16string::npos)
            end = fallbacks.size();
        const std::string path = "fonts/" + TextCodec::WideToUtf8(fallbacks.substr(start, end - start)) + ".ttf";
        if (FontFace* face = end > start ? library.GetFace(path) : nullptr)
            m_textFaces.push_back(face);
        else if (end > start && library.FirstReportOfMissing(path))
            LogMissingFallback(path);
        start = end + 1;
    }
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
