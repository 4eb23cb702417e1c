#include "dialogue/Textbox.h"

#include "core/PlayerSettings.h"
#include "core/TextCodec.h"
#include "core/Trace.h"
#include "data/ReadMarks.h"
#include "platform/FrameActivity.h"
#include "resources/Resource.h"
#include "resources/Style.h"
#include "resources/TextLayout.h"
#include "resources/hgeFont.h"
#include "scene/PlayModes.h"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace Vel {

namespace {

// "^" starts a new line; a run of them gives one break, and those at either end give none.
template <typename String> String BreakLines(const String& text)
{
    using Char = typename String::value_type;
    String lines;
    lines.reserve(text.size());
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t caret = text.find(Char('^'), start);
        if (caret == String::npos)
            caret = text.size();
        if (caret > start) {
            if (!lines.empty())
                lines += Char('\n');
            lines.append(text, start, caret - start);
        }
        start = caret + 1;
    }
    return lines;
}

std::uint32_t Channel(float value)
{
    // Truncated, as every engine colour; an animator may overshoot, so the value is kept in range first.
    return static_cast<std::uint32_t>(std::clamp(value, 0.0f, 1.0f) * 255.0f);
}

std::uint32_t Argb(float alpha, float red, float green, float blue)
{
    return (Channel(alpha) << 24) | (Channel(red) << 16) | (Channel(green) << 8) | Channel(blue);
}

} // namespace

Textbox::Textbox()
{
    Hide();
}

Textbox::~Textbox() = default;

bool Textbox::TestMouse(float x, float y, bool clicked)
{
    if (!m_visible)
        return false;
    if (clicked && TakeClick())
        return true;
    return AnimationObject::TestMouse(x, y, clicked);
}

bool Textbox::TakeClick()
{
    if (!m_visible)
        return false;
    if (!m_complete && m_typingClick == TypingClick::ShowsAll) {
        ShowAll();
        return true;
    }
    if (m_complete && m_readClick == ReadClick::GoesOn && !m_completion.IsEmpty()) {
        // A copy: the handler usually empties or replaces itself.
        const Callback<void()> handler = m_completion;
        handler();
        return true;
    }
    return false;
}

void Textbox::Update(float dt)
{
    if (!m_visible)
        return;
    if (!m_complete) {
        m_elapsed += dt;
        const std::int32_t shown = m_shown;
        if (m_elapsed >= m_total)
            ShowAll();
        else
            m_shown = std::min(static_cast<std::int32_t>(m_elapsed * m_rate), m_length);
        if (m_shown != shown)
            FrameActivity::Changed();
        FrameActivity::WakeWithin(0.0);
    }
    AnimationObject::Update(dt);
}

void Textbox::Render()
{
    if (!m_visible)
        return;
    hgeFont* font = m_style != nullptr ? m_style->GetBitmapFont() : nullptr;
    TextEnd end;
    if (m_layout)
        end = DrawLayout();
    else if (font != nullptr)
        end = DrawText(*font);
    else if (m_clickme != nullptr)
        end.y = m_clickme->GetHeight(); // no text to follow: the picture sits in the box's corner
    if (m_clickme != nullptr && m_indicatorVisible)
        DrawIndicator(end);
}

Textbox::TextEnd Textbox::DrawText(hgeFont& font)
{
    font.SetColor(Argb(m_opacity, m_style->GetRed(), m_style->GetGreen(), m_style->GetBlue()));
    font.SetSpacing(static_cast<float>(m_style->GetLineSpacing()) * 0.01f);
    const int shown = std::clamp<int>(m_shown, 0, static_cast<int>(m_displayText.size()));
    font.printfb(m_x, m_y, m_width, m_height, HGETEXT_LEFT | HGETEXT_TOP, "%.*s", shown, m_displayText.c_str());

    // Measured on the text as the font wrapped it this frame, so the end moves with a word that moved down.
    const std::string_view drawn = font.GetDrawnText();
    const std::size_t lastBreak = drawn.rfind('\n');
    const std::string_view lastLine = lastBreak == std::string_view::npos ? drawn : drawn.substr(lastBreak + 1);
    const auto breaks = static_cast<float>(std::count(drawn.begin(), drawn.end(), '\n'));
    const float lineHeight = font.GetHeight() * font.GetScale();
    // The font moves each line down by its rounded step.
    const float advance = std::round(lineHeight * font.GetSpacing());
    TextEnd end;
    end.x = font.GetStringWidth(lastLine, false);
    end.y = breaks * advance + lineHeight;
    // Below the last line even when a small spacing puts the lines over each other.
    end.lineStep = std::max(advance, lineHeight);
    return end;
}

Textbox::TextEnd Textbox::DrawLayout()
{
    m_layout->Arrange(m_shown, m_width, m_height);
    m_layout->Draw(m_x, m_y, Argb(m_opacity, m_style->GetRed(), m_style->GetGreen(), m_style->GetBlue()));
    return TextEnd{.x = m_layout->GetEndX(), .y = m_layout->GetEndY(), .lineStep = m_layout->GetLineStep()};
}

void Textbox::DrawIndicator(const TextEnd& end)
{
    const float width = m_clickme->GetWidth();
    const float height = m_clickme->GetHeight();
    m_indicatorX = m_x + end.x;
    m_indicatorY = m_y + end.y - height;
    if (end.x + width > m_wrapLimit) {
        m_indicatorX = m_x;
        m_indicatorY += end.lineStep;
    }
    // Full opacity: the picture shows the player what to do even while the text fades.
    m_clickme->Render(m_indicatorX, m_indicatorY, 1.0f, 1.0f);
}

void Textbox::SetText(const std::u16string& text, Style* style, float speed, Resource* clickme, TypingClick typing,
                      ReadClick read)
{
    m_sourceText = text;
    // Replays tell from the trace which text, in which language, each box was given.
    Trace::Write("text", text);
    m_displayText = BreakLines(TextCodec::WideToCodePage(text));
    m_lineText = BreakLines(text);
    m_length = static_cast<std::int32_t>(m_displayText.size());
    m_style = style;
    SetLayout();
    m_rate = PlayerSettings::TypingSpeed(speed) * 3.0f;
    m_clickme = clickme;
    m_typingClick = typing;
    m_readClick = read;
    m_indicatorVisible = false;
    m_complete = false;
    m_elapsed = 0.0f;
    m_total = 0.0f;
    m_shown = 0;
    m_textSerial = ++s_lastTextSerial;
    m_readKey = 0;
    FrameActivity::Changed();
    // The font formats the growing text every frame; room for all of it now keeps typing free of allocations.
    if (hgeFont* font = style != nullptr ? style->GetBitmapFont() : nullptr)
        font->Reserve(m_displayText.size());
    Show();
    if (m_rate > 0.0f)
        m_total = static_cast<float>(m_length) / m_rate;
    else
        ShowAll();
}

void Textbox::SetLayout()
{
    if (m_style == nullptr || !m_style->DrawsTrueType()) {
        m_layout.reset();
        return;
    }
    if (!m_layout)
        m_layout = std::make_unique<TextLayout>();
    m_layout->Set(m_lineText, *m_style);
    m_length = m_layout->GetGraphemes();
}

void Textbox::CompleteText()
{
    ShowAll();
}

void Textbox::ShowAll()
{
    FrameActivity::Changed();
    m_shown = m_length;
    m_indicatorVisible = true;
    m_complete = true;
    MarkRead();
}

void Textbox::SetReadKey(std::uint64_t key)
{
    m_readKey = key;
    if (m_complete)
        MarkRead();
}

void Textbox::MarkRead()
{
    if (m_readKey == 0)
        return;
    if (ReadMarks* marks = ReadMarks::GetSingletonPtr())
        marks->Mark(m_readKey);
    m_readKey = 0;
    PlayModes::Get().LineComplete();
}

void Textbox::SetSize(float width, float height)
{
    m_width = width;
    m_height = height;
    FrameActivity::Changed();
    m_wrapLimit = width - kWrapMargin;
}

} // namespace Vel
