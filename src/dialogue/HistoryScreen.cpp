#include "dialogue/HistoryScreen.h"

#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "dialogue/HistoryLog.h"
#include "platform/FrameActivity.h"
#include "resources/Resource.h"
#include "resources/ResourceManager.h"
#include "resources/Style.h"
#include "resources/TextLayout.h"
#include "resources/hgeFont.h"
#include "scene/ClickGate.h"
#include "scene/PlayerActions.h"
#include "sound/SoundManager.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Vel {

namespace {

hgeFont* FontOf(const Style* style)
{
    return style != nullptr ? style->GetBitmapFont() : nullptr;
}

float LineHeight(const hgeFont& font)
{
    return font.GetHeight() * font.GetScale();
}

bool DrawsTrueType(const Style* style, std::u16string_view text)
{
    return style != nullptr && style->DrawsTrueType() && !text.empty();
}

TextLayout& LayoutAt(std::vector<std::unique_ptr<TextLayout>>& layouts, std::size_t slot)
{
    if (layouts.size() <= slot)
        layouts.resize(slot + 1);
    if (!layouts[slot])
        layouts[slot] = std::make_unique<TextLayout>();
    return *layouts[slot];
}

// The whole text laid out at the width, as high as it needs; returns that height.
float ArrangeWhole(TextLayout& layout, std::u16string_view text, const Style& style, float width)
{
    layout.Set(text, style);
    layout.Arrange(layout.GetGraphemes(), width, std::numeric_limits<float>::max());
    return layout.GetEndY();
}

} // namespace

HistoryScreen::HistoryScreen(const HistoryLog& log) : m_log(log)
{
    m_placed.reserve(HistoryLog::kCapacity);
}

HistoryScreen::~HistoryScreen() = default;

void HistoryScreen::Open()
{
    m_background = ResourceManager::FindPicture(m_look.background);
    m_newestShown = LineCount() > 0 ? LineCount() - 1 : 0;
    Layout();
    FrameActivity::Changed();
}

std::size_t HistoryScreen::LineCount() const
{
    return m_log.Size();
}

HistoryScreen::Panel HistoryScreen::GetPanel() const
{
    const DisplaySettings& display = TheDisplaySettings();
    Panel panel{m_look.x, m_look.y, m_look.width, m_look.height};
    if (panel.width <= 0.0f)
        panel.width = static_cast<float>(display.gameWidth) - 2.0f * kMargin;
    if (panel.height <= 0.0f)
        panel.height = static_cast<float>(display.gameHeight) - 2.0f * kMargin;
    return panel;
}

// The bottom line is placed even when it is taller than the panel, so a long line can always be read from its start.
void HistoryScreen::Layout()
{
    m_placed.clear();
    if (LineCount() == 0)
        return;
    const Panel panel = GetPanel();
    float bottom = panel.y + panel.height;
    for (std::size_t index = m_newestShown + 1; index-- > 0;) {
        Placed placed{.index = index};
        Measure(m_log.At(index), m_placed.size(), panel.width, placed);
        if (bottom - placed.height < panel.y && !m_placed.empty())
            break;
        placed.top = bottom - placed.height;
        m_placed.push_back(placed);
        bottom -= placed.height + m_look.spacing;
    }
}

HistoryStep HistoryScreen::Update(float)
{
    const PlayerActions& actions = PlayerActions::Get();
    if (actions.Pressed(PlayerAction::Menu))
        return HistoryStep::Closes;
    if (TakeWheelTowards(actions.WheelTowards()) == HistoryStep::Closes)
        return HistoryStep::Closes;
    ScrollBack(static_cast<std::size_t>(actions.WheelAway()) + (actions.Pressed(PlayerAction::LineBack) ? 1 : 0));
    if (actions.Pressed(PlayerAction::LineOn))
        ScrollOn(1);
    // A screenful is the lines shown now: the one at the top becomes the bottom one's neighbour.
    if (actions.Pressed(PlayerAction::PageBack))
        ScrollBack(std::max<std::size_t>(m_placed.size(), 1));
    if (actions.Pressed(PlayerAction::PageOn))
        ScrollOn(std::max<std::size_t>(m_placed.size(), 1));
    HGE* hge = HgeManager::Interface();
    if (hge != nullptr && ClickGate::Left().Accept(hge->Input_GetKeyState(HGEK_LBUTTON)) && hge->Input_IsMouseOver()) {
        float x = 0.0f;
        float y = 0.0f;
        hge->Input_GetMousePos(&x, &y);
        ScreenToGame(x, y);
        PlayVoiceAt(x, y);
    }
    return HistoryStep::StaysOpen;
}

// Each notch scrolls on a line; one at the newest line closes the screen.
HistoryStep HistoryScreen::TakeWheelTowards(int notches)
{
    for (int notch = 0; notch < notches; ++notch) {
        if (AtNewest())
            return HistoryStep::Closes;
        ScrollOn(1);
    }
    return HistoryStep::StaysOpen;
}

// Back only while the oldest line is not on the screen yet.
void HistoryScreen::ScrollBack(std::size_t lines)
{
    for (; lines > 0 && !m_placed.empty() && m_placed.back().index > 0; --lines) {
        --m_newestShown;
        Layout();
        FrameActivity::Changed();
    }
}

void HistoryScreen::ScrollOn(std::size_t lines)
{
    if (AtNewest())
        return;
    m_newestShown = std::min(m_newestShown + lines, LineCount() - 1);
    Layout();
    FrameActivity::Changed();
}

void HistoryScreen::PlayVoiceAt(float x, float y) const
{
    const Panel panel = GetPanel();
    if (x < panel.x || x >= panel.x + panel.width)
        return;
    SoundManager* sound = SoundManager::GetSingletonPtr();
    for (const Placed& placed : m_placed) {
        const HistoryEntry& entry = m_log.At(placed.index);
        if (y >= placed.top && y < placed.top + placed.height && !entry.voice.empty() && sound != nullptr)
            sound->PlayVoice(entry.voice, {});
    }
}

Style* HistoryScreen::NameStyle(const HistoryEntry& entry) const
{
    return m_look.nameStyle != nullptr ? m_look.nameStyle : entry.nameStyle;
}

Style* HistoryScreen::TextStyle(const HistoryEntry& entry) const
{
    return m_look.textStyle != nullptr ? m_look.textStyle : entry.textStyle;
}

float HistoryScreen::NameHeight(const HistoryEntry& entry) const
{
    const hgeFont* font = FontOf(NameStyle(entry));
    return entry.name.empty() || font == nullptr ? 0.0f : LineHeight(*font);
}

// As a text box places its lines: each further line one rounded step below the one before.
float HistoryScreen::TextHeight(const HistoryEntry& entry, float width) const
{
    const Style* style = TextStyle(entry);
    hgeFont* font = FontOf(style);
    if (font == nullptr || entry.text.empty())
        return 0.0f;
    font->SetSpacing(static_cast<float>(style->GetLineSpacing()) * 0.01f);
    const int lines = font->CountLines(entry.text, width);
    return static_cast<float>(lines - 1) * std::round(LineHeight(*font) * font->GetSpacing()) + LineHeight(*font);
}

void HistoryScreen::Measure(const HistoryEntry& entry, std::size_t slot, float width, Placed& placed)
{
    const Style* nameStyle = NameStyle(entry);
    const Style* textStyle = TextStyle(entry);
    placed.nameHeight = DrawsTrueType(nameStyle, entry.unicodeName)
                            ? ArrangeWhole(LayoutAt(m_nameLayouts, slot), entry.unicodeName, *nameStyle, width)
                            : NameHeight(entry);
    const float textHeight = DrawsTrueType(textStyle, entry.unicodeText)
                                 ? ArrangeWhole(LayoutAt(m_textLayouts, slot), entry.unicodeText, *textStyle, width)
                                 : TextHeight(entry, width);
    placed.height = placed.nameHeight + textHeight;
}

void HistoryScreen::Render()
{
    DrawDim();
    const Panel panel = GetPanel();
    if (m_background != nullptr)
        m_background->Render(panel.x, panel.y, 1.0f, 1.0f);
    for (std::size_t slot = 0; slot < m_placed.size(); ++slot)
        DrawEntry(m_log.At(m_placed[slot].index), m_placed[slot], slot, panel.x, panel.width);
}

void HistoryScreen::DrawEntry(const HistoryEntry& entry, const Placed& placed, std::size_t slot, float x, float width)
{
    const float top = placed.top;
    const Style* nameStyle = NameStyle(entry);
    if (DrawsTrueType(nameStyle, entry.unicodeName)) {
        m_nameLayouts[slot]->Draw(x, top, nameStyle->GetArgb());
    } else if (hgeFont* font = FontOf(nameStyle); font != nullptr && !entry.name.empty()) {
        font->SetColor(nameStyle->GetArgb());
        font->Render(x, top, HGETEXT_LEFT, entry.name);
    }
    const Style* textStyle = TextStyle(entry);
    if (DrawsTrueType(textStyle, entry.unicodeText)) {
        m_textLayouts[slot]->Draw(x, top + placed.nameHeight, textStyle->GetArgb());
        return;
    }
    hgeFont* font = FontOf(textStyle);
    if (font == nullptr || entry.text.empty())
        return;
    font->SetColor(textStyle->GetArgb());
    font->SetSpacing(static_cast<float>(textStyle->GetLineSpacing()) * 0.01f);
    const float nameHeight = placed.nameHeight;
    font->printfb(x, top + nameHeight, width, TextHeight(entry, width), HGETEXT_LEFT | HGETEXT_TOP, "%.*s",
                  static_cast<int>(entry.text.size()), entry.text.c_str());
}

void HistoryScreen::DrawDim() const
{
    HGE* hge = HgeManager::Interface();
    if (hge == nullptr)
        return;
    const DisplaySettings& display = TheDisplaySettings();
    const auto width = static_cast<float>(display.gameWidth);
    const auto height = static_cast<float>(display.gameHeight);
    hgeQuad quad;
    const float corners[4][2] = {{0.0f, 0.0f}, {width, 0.0f}, {width, height}, {0.0f, height}};
    for (int corner = 0; corner < 4; ++corner) {
        quad.v[corner].x = corners[corner][0];
        quad.v[corner].y = corners[corner][1];
        quad.v[corner].col = kDimColour;
    }
    hge->Gfx_RenderQuad(&quad);
}

} // namespace Vel
