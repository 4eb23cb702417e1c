#pragma once

// The fonts of one font name, as a text style uses them: the TrueType faces of its four variants, shared through
// the FontLibrary, and the bitmap font that text boxes draw with. Each Style owns one.

#include <memory>
#include <string>
#include <vector>

namespace Vel {

class FontFace;
class FontLibrary;
class hgeFont;

enum class FontVariant
{
    Regular,
    Bold,
    Italic,
    BoldItalic
};

class AdvancedFont
{
public:
    AdvancedFont();
    virtual ~AdvancedFont();
    AdvancedFont(const AdvancedFont&) = delete;
    AdvancedFont& operator=(const AdvancedFont&) = delete;

    // Looks for fonts/<name>.ttf, <name>bd.ttf, <name>i.ttf and <name>bi.ttf on the disk, and reads the bitmap font
    // fonts/<name>.fnt through the 2D library (archives first). Missing files leave their part empty. The faces
    // belong to the library, which must outlive this object.
    // fallbacks: further font names, "NAME2:NAME3", whose regular faces draw what the style's own face lacks.
    void Load(const std::u16string& name, const std::u16string& fallbacks, FontLibrary& library);

    // nullptr when the variant's file is missing or unusable.
    [[nodiscard]] FontFace* GetFace(FontVariant variant) const;
    // nullptr before Load.
    [[nodiscard]] hgeFont* GetBitmapFont() const { return m_bitmapFont.get(); }
    // The regular face, then the fallbacks that exist, in order; empty without a regular face.
    [[nodiscard]] const std::vector<FontFace*>& GetTextFaces() const { return m_textFaces; }
    // Valid after Load.
    [[nodiscard]] FontLibrary& GetLibrary() const { return *m_library; }

private:
    FontFace* m_regular = nullptr;
    FontFace* m_bold = nullptr;
    FontFace* m_italic = nullptr;
    FontFace* m_boldItalic = nullptr;
    std::unique_ptr<hgeFont> m_bitmapFont;
    std::vector<FontFace*> m_textFaces;
    FontLibrary* m_library = nullptr;
};

} // namespace Vel
