#pragma once

// The fonts of one font name, as a text style uses them: the TrueType faces of its four variants, shared through
// the FontLibrary, and the bitmap font that text boxes draw with. Each Style owns one.

#include <memory>
#include <string>

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
    void Load(const std::u16string& name, FontLibrary& library);

    // nullptr when the variant's file is missing or unusable.
    [[nodiscard]] FontFace* GetFace(FontVariant variant) const;
    // nullptr before Load.
    [[nodiscard]] hgeFont* GetBitmapFont() const { return m_bitmapFont.get(); }

private:
    FontFace* m_regular = nullptr;
    FontFace* m_bold = nullptr;
    FontFace* m_italic = nullptr;
    FontFace* m_boldItalic = nullptr;
    std::unique_ptr<hgeFont> m_bitmapFont;
};

} // namespace Vel
