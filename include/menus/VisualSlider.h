#pragma once

// A row of box pictures over a background picture, filled up to the current value (value v shows v + 1 boxes).
// While the mouse is over a box, the row up to it is previewed at half opacity; pressing sets that box's value.

#include "menus/Slider.h"

#include <cstdint>
#include <string>

namespace Vel {

class Resource;

class VisualSlider : public Slider
{
public:
    // Pictures are looked up by name now; a missing box picture leaves a slider that draws no boxes and ignores
    // input.
    VisualSlider(std::u16string name, const std::u16string& box, const std::u16string& background, std::int32_t count,
                 std::int32_t spacing, Setter setter, Getter getter, float x, float y);
    // With pictures already found (either may be null); they must outlive the slider.
    VisualSlider(std::u16string name, Resource* box, Resource* background, std::int32_t count, std::int32_t spacing,
                 Setter setter, Getter getter, float x, float y);
    ~VisualSlider() override;

    // Boxes beyond this are neither laid out nor drawn: a value or count from a damaged script cannot stall a frame.
    static constexpr std::int32_t kMaxBoxes = 1000;

    void Update(float dt) override;
    void Render() override;

    // -1 while the mouse is over no box, else the box's index + 1.
    [[nodiscard]] std::int32_t GetHovered() const { return m_hovered; }
    [[nodiscard]] Resource* GetBoxPicture() const { return m_box; }
    [[nodiscard]] Resource* GetBackgroundPicture() const { return m_background; }

private:
    // The box under the mouse this frame, setting the value while the button is held.
    void UpdateHover();
    // The first box under the game point, or -1.
    [[nodiscard]] std::int32_t BoxAt(float x, float y) const;
    // How many boxes this frame shows: the hovered preview, else the bound value plus one.
    [[nodiscard]] std::int32_t BoxesShown() const;

    std::int32_t m_count = 0;
    std::int32_t m_spacing = 0;
    float m_x = 0.0f;
    float m_y = 0.0f;
    Resource* m_background = nullptr;
    Resource* m_box = nullptr;
    std::int32_t m_hovered = -1;
};

} // namespace Vel
