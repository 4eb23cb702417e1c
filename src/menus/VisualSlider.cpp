#include "menus/VisualSlider.h"

#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "platform/FrameActivity.h"
#include "resources/Resource.h"
#include "resources/ResourceManager.h"

#include <algorithm>
#include <utility>

namespace Vel {
namespace {

constexpr float kPreviewOpacity = 0.5f;

} // namespace

VisualSlider::VisualSlider(std::u16string name, const std::u16string& box, const std::u16string& background,
                           std::int32_t count, std::int32_t spacing, Setter setter, Getter getter, float x, float y)
    : VisualSlider(std::move(name), ResourceManager::FindPicture(box), ResourceManager::FindPicture(background), count,
                   spacing, std::move(setter), std::move(getter), x, y)
{
}

VisualSlider::VisualSlider(std::u16string name, Resource* box, Resource* background, std::int32_t count,
                           std::int32_t spacing, Setter setter, Getter getter, float x, float y)
    : Slider(std::move(name), std::move(setter), std::move(getter)), m_count(std::clamp(count, 0, kMaxBoxes)),
      m_spacing(spacing), m_x(x), m_y(y), m_background(background), m_box(box)
{
}

VisualSlider::~VisualSlider() = default;

void VisualSlider::Update(float /*dt*/)
{
    const std::int32_t hovered = m_hovered;
    UpdateHover();
    if (m_hovered != hovered)
        FrameActivity::Changed();
}

void VisualSlider::UpdateHover()
{
    m_hovered = -1;
    // Without a box picture there is no box size to hit.
    if (m_box == nullptr || !IsBound())
        return;
    HGE* hge = HgeManager::Interface();
    if (hge == nullptr || !hge->Input_IsMouseOver())
        return;
    const bool pressed = hge->Input_GetKeyState(HGEK_LBUTTON);
    float mouseX = 0.0f;
    float mouseY = 0.0f;
    hge->Input_GetMousePos(&mouseX, &mouseY);
    ScreenToGame(mouseX, mouseY);
    const std::int32_t box = BoxAt(mouseX, mouseY);
    if (box < 0)
        return;
    if (pressed)
        m_setter(static_cast<float>(box));
    m_hovered = box + 1;
}

void VisualSlider::Render()
{
    if (m_background != nullptr)
        m_background->Render(m_x, m_y, 1.0f, 1.0f);
    if (m_box == nullptr)
        return;
    const float step = m_box->GetWidth() + static_cast<float>(m_spacing);
    const float opacity = m_hovered != -1 ? kPreviewOpacity : 1.0f;
    const std::int32_t shown = BoxesShown();
    for (std::int32_t j = 0; j < shown; ++j)
        m_box->Render(m_x + static_cast<float>(j) * step, m_y, 1.0f, opacity);
}

std::int32_t VisualSlider::BoxAt(float x, float y) const
{
    const float width = m_box->GetWidth();
    const float height = m_box->GetHeight();
    if (!(m_y <= y && y < m_y + height))
        return -1;
    // Each box reaches up to the next one, so the gap between two boxes belongs to the left one.
    for (std::int32_t i = 0; i < m_count; ++i) {
        const float x1 = m_x + static_cast<float>(i) * (width + static_cast<float>(m_spacing));
        if (x1 <= x && x < x1 + width + static_cast<float>(m_spacing))
            return i;
    }
    return -1;
}

std::int32_t VisualSlider::BoxesShown() const
{
    if (m_hovered != -1)
        return m_hovered;
    if (!IsBound())
        return 0;
    // Box j shows while j < value + 1; NaN and values below 0 show none, and the loop stays bounded.
    const float limit = m_getter() + 1.0f;
    std::int32_t shown = 0;
    while (shown < kMaxBoxes && static_cast<float>(shown) < limit)
        ++shown;
    return shown;
}

} // namespace Vel
