#include "menus/TextSlider.h"

#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "platform/FrameActivity.h"
#include "resources/AdvancedFont.h"
#include "resources/FontFace.h"
#include "resources/Style.h"

#include <cstdint>
#include <string>
#include <utility>

namespace Vel {
namespace {

// Volumes run 0..10; a mistyped range of millions would make the menu build millions of entries every load.
constexpr std::int64_t kMaxEntries = 1000;

FontFace* RegularFace(const Style* style)
{
    if (style == nullptr || style->GetFont() == nullptr)
        return nullptr;
    return style->GetFont()->GetFace(FontVariant::Regular);
}

// Decimal digits and a minus sign are ASCII, so each byte is one UTF-16 unit.
std::u16string NumberText(std::int32_t value)
{
    const std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

void Log(const std::u16string& name, const char* reason)
{
    HgeManager::Log("Text slider '" + TextCodec::WideToUtf8(name) + "' " + reason);
}

} // namespace

TextSlider::TextSlider(std::u16string name, Style* normal, Style* over, Setter setter, Getter getter,
                       std::int32_t start, std::int32_t end, float x, float y, std::optional<float> spacing)
    : Slider(std::move(name), std::move(setter), std::move(getter)), m_normal(normal), m_over(over), m_x(x), m_y(y)
{
    FontFace* face = RegularFace(m_normal);
    if (face == nullptr) {
        Log(GetName(), "has no TrueType face in its style; it draws nothing");
        return;
    }
    m_drawable = true;
    const auto size = static_cast<float>(m_normal->GetSize());
    face->SetPixelSize(size, size);
    // Made explicitly: the height is measured only from glyphs that already exist.
    face->MakeGlyphs(u"0");
    m_digitWidth = face->MeasureWidth(u"0");
    m_textHeight = face->MeasureHeight(u"0");
    LayOut(start, end, spacing.value_or(face->SpaceAdvance()));
}

TextSlider::~TextSlider() = default;

void TextSlider::LayOut(std::int32_t start, std::int32_t end, float spacing)
{
    // Counted in 64 bits: end - start overflows 32 bits for the widest ranges, and so would ++value at INT32_MAX.
    std::int64_t last = end;
    if (last - start + 1 > kMaxEntries) {
        Log(GetName(), "has more numbers than a slider can show; only the first 1000 are laid out");
        last = start + kMaxEntries - 1;
    }
    float pen = m_x;
    for (std::int64_t value = start; value <= last; ++value) {
        Entry entry;
        entry.value = static_cast<std::int32_t>(value);
        entry.text = NumberText(entry.value);
        const float width = static_cast<float>(entry.text.size()) * m_digitWidth;
        entry.x1 = pen;
        entry.y1 = m_y;
        entry.x2 = pen + width;
        entry.y2 = m_y + m_textHeight;
        m_entries.push_back(std::move(entry));
        pen += width + spacing;
    }
}

void TextSlider::Update(float /*dt*/)
{
    if (!m_drawable || !IsBound())
        return;
    HGE* hge = HgeManager::Interface();
    if (hge == nullptr)
        return;
    // Held, not clicked: dragging across the row sets every number passed over.
    const bool pressed = hge->Input_GetKeyState(HGEK_LBUTTON);
    // A mouse outside the window hovers nothing, so a number it left does not stay lit.
    const bool over = hge->Input_IsMouseOver();
    float mouseX = 0.0f;
    float mouseY = 0.0f;
    if (over) {
        hge->Input_GetMousePos(&mouseX, &mouseY);
        ScreenToGame(mouseX, mouseY);
    }
    for (Entry& entry : m_entries) {
        entry.highlighted = over && entry.x1 <= mouseX && mouseX < entry.x2 && entry.y1 <= mouseY && mouseY < entry.y2;
        if (entry.highlighted && pressed)
            m_setter(static_cast<float>(entry.value));
    }
    // Read after the setter, so the number just set is the one lit this frame.
    const float current = m_getter();
    for (Entry& entry : m_entries)
        if (current == static_cast<float>(entry.value))
            entry.highlighted = true;
    for (Entry& entry : m_entries) {
        if (entry.highlighted != entry.drawnHighlighted)
            FrameActivity::Changed();
        entry.drawnHighlighted = entry.highlighted;
    }
}

void TextSlider::Render()
{
    if (!m_drawable)
        return;
    for (const Entry& entry : m_entries) {
        Style* style = entry.highlighted && RegularFace(m_over) != nullptr ? m_over : m_normal;
        FontFace* face = RegularFace(style);
        // A style read again may have lost its file since the slider was made.
        if (face == nullptr)
            continue;
        const auto size = static_cast<float>(style->GetSize());
        face->SetColor(style->GetArgb());
        face->SetPixelSize(size, size);
        // The pen's baseline sits on the bottom of the entry.
        face->DrawText(entry.text, entry.x1, entry.y1 + m_textHeight);
    }
}

} // namespace Vel
