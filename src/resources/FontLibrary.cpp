#include "resources/FontLibrary.h"

#include "resources/FontFace.h"
#include "resources/TextShaper.h"

#include <ft2build.h>
#include FT_FREETYPE_H

namespace Vel {

FontLibrary::FontLibrary()
{
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) == 0)
        m_library = library;
}

FontLibrary::~FontLibrary()
{
    // Faces hold FreeType objects of the library, so they go first.
    m_faces.clear();
    if (m_library != nullptr)
        FT_Done_FreeType(static_cast<FT_Library>(m_library));
}

FontFace* FontLibrary::GetFace(const std::string& path)
{
    if (!IsReady())
        return nullptr;
    if (const auto it = m_faces.find(path); it != m_faces.end())
        return it->second.get();
    auto face = std::make_unique<FontFace>(m_library, path);
    if (!face->IsOpen())
        return nullptr;
    return m_faces.emplace(path, std::move(face)).first->second.get();
}

TextShaper& FontLibrary::GetShaper()
{
    if (!m_shaper)
        m_shaper = std::make_unique<TextShaper>();
    return *m_shaper;
}

} // namespace Vel
