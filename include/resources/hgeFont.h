#pragma once

// A bitmap font: the letters of one picture, described by a ".fnt" file, drawn letter by letter as quads, with
// alignment and word wrapping into a box. Text boxes and galleries draw their text with it; text is in the game's
// single-byte code page, one letter per byte.

#include "platform/Hge.h"
#include "resources/hgeSprite.h"

#include <array>
#include <cstdarg>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Vel {

// Alignment: bits 0-1 horizontal, bits 2-3 vertical.
constexpr int HGETEXT_LEFT = 0;
constexpr int HGETEXT_RIGHT = 1;
constexpr int HGETEXT_CENTER = 2;
constexpr int HGETEXT_HORZMASK = 0x03;
constexpr int HGETEXT_TOP = 0;
constexpr int HGETEXT_BOTTOM = 4;
constexpr int HGETEXT_MIDDLE = 8;
constexpr int HGETEXT_VERTMASK = 0x0C;

class hgeFont
{
public:
    // Reads the description through the 2D library's resource loader (archives first). A missing or malformed file
    // gives a font without letters; a malformed one is named in the log.
    explicit hgeFont(const std::string& fileName, bool mipmap = false);
    // A font without letters.
    hgeFont();
    ~hgeFont();
    hgeFont(const hgeFont&) = delete;
    hgeFont& operator=(const hgeFont&) = delete;

    void Render(float x, float y, int align, std::string_view text);
    void printf(float x, float y, int align, const char* format, ...) __attribute__((format(printf, 5, 6)));
    // Wraps the text word by word into a box width wide; a word wider than the box keeps a line of its own.
    void printfb(float x, float y, float width, float height, int align, const char* format, ...)
        __attribute__((format(printf, 7, 8)));

    [[nodiscard]] float GetStringWidth(std::string_view text, bool multiline = true) const;
    // Makes room for texts of this many letters, so formatting and drawing them allocates nothing.
    // How many lines the text takes wrapped at the width as printfb wraps it, at the font's scale.
    [[nodiscard]] int CountLines(std::string_view text, float width);
    void Reserve(std::size_t letters) { m_buffer.reserve(letters); }

    void SetColor(std::uint32_t colour);
    void SetSpacing(float spacing) { m_spacing = spacing; } // line spacing factor
    void SetScale(float scale) { m_scale = scale; }
    void SetProportion(float proportion) { m_proportion = proportion; }
    void SetRotation(float rotation) { m_rotation = rotation; }
    void SetTracking(float tracking) { m_tracking = tracking; }
    void SetBlendMode(int blend);

    [[nodiscard]] float GetHeight() const { return m_height; }
    // The text the last printf or printfb drew, with the line feeds printfb's wrapping put in; valid until the next
    // call. Tells a caller where the drawn text ends.
    [[nodiscard]] std::string_view GetDrawnText() const { return m_buffer; }
    [[nodiscard]] float GetSpacing() const { return m_spacing; }
    [[nodiscard]] float GetScale() const { return m_scale; }
    [[nodiscard]] std::uint32_t GetColor() const { return m_colour; }
    [[nodiscard]] bool HasLetter(unsigned char letter) const { return m_letters[letter] != nullptr; }
    // The letter's quad, nullptr when the font lacks it; owned by the font.
    [[nodiscard]] const hgeSprite* GetSprite(unsigned char letter) const { return m_letters[letter].get(); }
    [[nodiscard]] float GetPreWidth(unsigned char letter) const { return m_pre[letter]; }
    [[nodiscard]] float GetPostWidth(unsigned char letter) const { return m_post[letter]; }
    [[nodiscard]] HTEXTURE GetTexture() const { return m_texture; }

private:
    struct Letter;
    // The width of a text so far, unscaled: its widest finished line and the line still open.
    struct LineMeasure
    {
        float widest = 0.0f;
        float line = 0.0f;
    };

    void Parse(std::string_view description, const std::string& fileName, bool mipmap);
    [[nodiscard]] bool LoadBitmap(std::string_view line, const std::string& fileName, bool mipmap);
    void AddLetter(const Letter& letter);
    [[nodiscard]] int LetterFor(unsigned char byte) const; // the byte, '?' in its place, or -1 for nothing
    [[nodiscard]] float LineStart(float x, int align, std::string_view line) const;
    void Format(const char* format, va_list args);
    [[nodiscard]] int Wrap(float width);
    void Measure(LineMeasure& measure, std::string_view text) const;
    [[nodiscard]] float ScaledWidth(const LineMeasure& measure) const;

    HGE* m_hge = nullptr;             // one reference, released on destruction
    HTEXTURE m_texture = 0;           // the bitmap the letters are cut from
    std::vector<HTEXTURE> m_textures; // every bitmap loaded, freed on destruction
    std::string m_buffer;             // formatted text of printf and printfb, kept so that redrawing allocates nothing
    std::array<std::unique_ptr<hgeSprite>, 256> m_letters;
    std::array<float, 256> m_pre{};
    std::array<float, 256> m_post{};
    float m_height = 0.0f;
    float m_scale = 1.0f;
    float m_proportion = 1.0f;
    float m_rotation = 0.0f;
    float m_tracking = 0.0f;
    float m_spacing = 1.0f;
    std::uint32_t m_colour = 0xFFFFFFFF;
    float m_z = 0.5f;
    int m_blend = BLEND_DEFAULT;
};

} // namespace Vel
