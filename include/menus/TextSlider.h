#pragma once

// A row of numbers drawn as TrueType text (for example 0 1 2 ... 10): the number under the mouse and the current
// value in the over style, the others in the normal style; pressing on a number sets it.

#include "menus/Slider.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Vel {

class Style;

class TextSlider : public Slider
{
public:
    struct Entry
    {
        std::int32_t value = 0;
        std::u16string text;
        float x1 = 0.0f;
        float y1 = 0.0f;
        float x2 = 0.0f;
        float y2 = 0.0f;
        bool highlighted = false;
        bool drawnHighlighted = false; // as the screen shows it: a change is drawn
    };

    // Lays the entries out with the normal style's regular face, spacing pixels apart (none given: the width of a
    // blank of that face); without a face (no style, no ".ttf") the slider draws nothing and ignores input.
    TextSlider(std::u16string name, Style* normal, Style* over, Setter setter, Getter getter, std::int32_t start,
               std::int32_t end, float x, float y, std::optional<float> spacing = std::nullopt);
    ~TextSlider() override;

    void Update(float dt) override;
    void Render() override;

    [[nodiscard]] const std::vector<Entry>& GetEntries() const { return m_entries; }
    [[nodiscard]] float GetDigitWidth() const { return m_digitWidth; }
    [[nodiscard]] float GetTextHeight() const { return m_textHeight; }
    // Whether the normal style has a face to measure and draw with.
    [[nodiscard]] bool IsDrawable() const { return m_drawable; }

private:
    // One entry per number from start to end, left to right, each as wide as its digits.
    void LayOut(std::int32_t start, std::int32_t end, float spacing);

    Style* m_normal = nullptr;
    Style* m_over = nullptr;
    float m_x = 0.0f;
    float m_y = 0.0f;
    float m_digitWidth = 0.0f;
    float m_textHeight = 0.0f;
    bool m_drawable = false;
    std::vector<Entry> m_entries;
};

} // namespace Vel
