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
    // Everything a style statement gives; what it leaves out keeps the default here.
    struct Values
    {
        std::u16string font{};          // the font name, whose files the font library looks up
        std::int32_t size = 0;          // the TrueType faces' pixel size; 0 keeps the style on its bitmap font
        std::u16string fallback{};      // further font names, "NAME2:NAME3", for characters the font lacks
        std::int32_t lineSpacing = 100; // percent of the font's line height: 100 is normal spacing
        std::u16string tag{};
        std::int32_t speed = 0;
        std::u16string clickme{}; // none
        float red = 1.0f;         // colour channels 0..1: white unless given
        float green = 1.0f;
        float blue = 1.0f;
        float alpha = 1.0f;
        bool colourGiven = false; // whether the statement wrote color=; the save dates stay black without it
    };

    Style();
    virtual ~Style();
    Style(const Style&) = delete;
    Style& operator=(const Style&) = delete;

    // Loads the font name's files through the library (the font is made at the first call and loaded anew at every
    // call) and stores the other values.
    void Set(const Values& values, FontLibrary& library);

    // null before the first Set.
    [[nodiscard]] AdvancedFont* GetFont() const { return m_font.get(); }
    // The bitmap font text boxes draw with; null before the first Set, empty when the font name has no ".fnt".
    [[nodiscard]] hgeFont* GetBitmapFont() const;
    [[nodiscard]] std::int32_t GetSize() const { return m_values.size; }
    // Whether the style's text is drawn with its TrueType face (it has a size and a regular ".ttf"), shaped and laid
    // out by a TextLayout, rather than with its bitmap font.
    [[nodiscard]] bool DrawsTrueType() const;
    [[nodiscard]] float GetRed() const { return m_values.red; }
    [[nodiscard]] float GetGreen() const { return m_values.green; }
    [[nodiscard]] float GetBlue() const { return m_values.blue; }
    [[nodiscard]] float GetAlpha() const { return m_values.alpha; }
    [[nodiscard]] bool HasColour() const { return m_values.colourGiven; }
    // The colour as 0xAARRGGBB, each channel times 255 and cut to a whole number.
    [[nodiscard]] std::uint32_t GetArgb() const;
    // Percent of the font's line height; 0 draws every line of a text on the first one.
    [[nodiscard]] std::int32_t GetLineSpacing() const { return m_values.lineSpacing; }
    [[nodiscard]] const std::u16string& GetTag() const { return m_values.tag; }
    // Dialog typing speed; text boxes type speed x 3 characters a second.
    [[nodiscard]] std::int32_t GetSpeed() const { return m_values.speed; }
    // The continue picture's resource name.
    [[nodiscard]] const std::u16string& GetClickme() const { return m_values.clickme; }

private:
    std::unique_ptr<AdvancedFont> m_font;
    Values m_values;
};

} // namespace Vel
