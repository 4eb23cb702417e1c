#pragma once

// How a text looks: its font, pixel size, colour, line spacing, typing speed and the continue picture shown when a
// text box waits for a click. The resource registry keeps styles by name; the script's "style" statement fills
// them, text boxes and dialogs borrow them.

#include <cstdint>
#include <memory>
#include <string>

namespace Vel {

class AdvancedFont;
class FontLibrary;
class hgeFont;

class Style
{
public:
    Style();
    virtual ~Style();
    Style(const Style&) = delete;
    Style& operator=(const Style&) = delete;

    // Loads the font name's files through the library (the font is made at the first call and loaded anew at every
    // call) and stores the other values. Colour channels are 0..1.
    void Set(const std::u16string& fontName, std::int32_t size, std::int32_t lineSpacing, const std::u16string& tag,
             std::int32_t speed, const std::u16string& clickme, float red, float green, float blue, float alpha,
             FontLibrary& library);

    // null before the first Set.
    [[nodiscard]] AdvancedFont* GetFont() const { return m_font.get(); }
    // The bitmap font text boxes draw with; null before the first Set, empty when the font name has no ".fnt".
    [[nodiscard]] hgeFont* GetBitmapFont() const;
    [[nodiscard]] std::int32_t GetSize() const { return m_size; }
    [[nodiscard]] float GetRed() const { return m_red; }
    [[nodiscard]] float GetGreen() const { return m_green; }
    [[nodiscard]] float GetBlue() const { return m_blue; }
    [[nodiscard]] float GetAlpha() const { return m_alpha; }
    // Percent of the font's line height; 0 draws every line of a text on the first one.
    [[nodiscard]] std::int32_t GetLineSpacing() const { return m_lineSpacing; }
    [[nodiscard]] const std::u16string& GetTag() const { return m_tag; }
    // Dialog typing speed; text boxes type speed x 3 characters a second.
    [[nodiscard]] std::int32_t GetSpeed() const { return m_speed; }
    // The continue picture's resource name.
    [[nodiscard]] const std::u16string& GetClickme() const { return m_clickme; }

private:
    std::unique_ptr<AdvancedFont> m_font;
    std::int32_t m_size = 0;
    float m_red = 1.0f;
    float m_green = 1.0f;
    float m_blue = 1.0f;
    float m_alpha = 1.0f;
    std::int32_t m_lineSpacing = 0;
    std::u16string m_tag;
    std::int32_t m_speed = 0;
    std::u16string m_clickme;
};

} // namespace Vel
