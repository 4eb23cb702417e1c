#pragma once

// One look of a text button (idle or hover): a picture stretched over the button's rectangle and a label centred
// on it in a style, TrueType when the style has a face, else its bitmap font. A scene node shows it like any
// picture, so a text button hovers, swaps and takes clicks as picture buttons do. The label is looked up in the
// current language when drawn and laid out again only when that text or the style's kind changed, so steady frames
// allocate nothing. A look may stand in for another (a focused button's idle look draws its hover look).

#include "resources/Resource.h"

#include <memory>
#include <string>

namespace Vel {

class Style;
class TextLayout;

class TextButtonLook : public Resource
{
public:
    struct Values
    {
        std::u16string label{};
        Style* style = nullptr;      // borrowed from the ResourceManager; none draws no label
        Resource* picture = nullptr; // borrowed from the ResourceManager; none draws no picture
        float width = 0.0f;
        float height = 0.0f;
    };

    TextButtonLook();
    explicit TextButtonLook(Values values);
    ~TextButtonLook() override;

    // The label is laid out anew at the next draw.
    void SetValues(Values values);

    // A still picture the node shows; it has no file of its own.
    [[nodiscard]] ResourceType GetType() const override { return ResourceType::Sprite; }
    [[nodiscard]] float GetWidth() override { return m_values.width; }
    [[nodiscard]] float GetHeight() override { return m_values.height; }
    // Zoom is not applied: a button keeps the rectangle the script gave it.
    void Render(float x, float y, float zoom, float opacity) override;
    void Unload() override {}
    [[nodiscard]] bool IsStatic() const override { return true; }

    // Borrowed, null for none; it must outlive this look.
    void SetStandIn(TextButtonLook* look) { m_standIn = look; }
    [[nodiscard]] const std::u16string& GetLabel() const { return m_values.label; }

private:
    void LayOut(const std::u16string& text);
    void DrawTrueType(float x, float y, float opacity);
    void DrawBitmap(float x, float y, float opacity);

    Values m_values;
    TextButtonLook* m_standIn = nullptr;
    std::u16string m_laidOut;       // the text the label was laid out for
    bool m_laidOutTrueType = false; // and whether for the TrueType path
    bool m_hasLayout = false;
    std::string m_codePageText; // the bitmap font's bytes of the label
    std::unique_ptr<TextLayout> m_layout;
};

} // namespace Vel
