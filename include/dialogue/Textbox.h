#pragma once

// A named rectangle on the screen in which story text is typed out letter by letter. While the text is typed a
// click shows the rest at once; once it is all shown the style's continue picture appears after its last letter, and
// the next click runs the completion handler, which lets the story go on. The dialogue manager owns, updates, feeds
// and draws the boxes; the text command, dialogs, choices and galleries put text into them.
//
// "^" in a text starts a new line. With a bitmap style the text is typed and drawn in the game's single-byte code
// page, one letter per byte, and wrapped anew every frame at the box width, so a word that no longer fits moves down
// while it is typed. With a TrueType style (Style::DrawsTrueType) a TextLayout shapes and places the Unicode text and
// typing goes one grapheme cluster at a time, the typed part placed as it would be shown whole.

#include "core/Callback.h"
#include "scene/AnimationObject.h"

#include <cstdint>
#include <memory>
#include <string>

namespace Vel {

class Resource;
class Style;
class TextLayout;
class hgeFont;

class Textbox : public AnimationObject
{
public:
    // The continue picture moves to the next line when it would come closer than this to the right edge.
    static constexpr float kWrapMargin = 15.0f;

    // What a click does while the text is being typed.
    enum class TypingClick
    {
        ShowsAll,
        Ignored,
    };
    // What a click does once the whole text is shown: run the completion handler, or nothing.
    enum class ReadClick
    {
        GoesOn,
        Ignored,
    };

    // Hidden and empty.
    Textbox();
    ~Textbox() override;

    [[nodiscard]] float GetWidth() override { return m_width; }
    [[nodiscard]] float GetHeight() override { return m_height; }
    // Not visible: false. A click completes a text being typed, else runs the completion handler of a complete text,
    // each as SetText allowed; one click never does both. Otherwise the object's own hit test decides (a choice's
    // action runs there).
    bool TestMouse(float x, float y, bool clicked) override;
    // What a click on the story does to this box, wherever the mouse is: completes the text being typed, or runs the
    // completion handler of a complete one, as SetText allowed. False when it did neither (or the box is hidden).
    bool TakeClick();
    // Types on while visible; the animators run after the typing.
    void Update(float dt) override;
    // The typed part of the text in the style's font and colour at the box's opacity, then the continue picture at
    // full opacity once the text is complete. Only while visible.
    void Render();

    // Starts a new text and shows the box; position, size and the completion handler stay. speed x 3 letters a
    // second at the player's default text speed (see PlayerSettings::TypingSpeed); speed 0 or below shows the whole
    // text at once. style and clickme may be null. By default clicks work as
    // on story text: one shows the rest of the text, the next goes on.
    void SetText(const std::u16string& text, Style* style, float speed, Resource* clickme,
                 TypingClick typing = TypingClick::ShowsAll, ReadClick read = ReadClick::GoesOn);
    // Shows the whole text and the continue picture now.
    void CompleteText();
    // The text set last is a statement of the story, known by the key (ReadMarks): it is marked read, and the
    // play modes learn that the line is complete, once it shows whole (now, when it does already). A new text
    // forgets the key.
    void SetReadKey(std::uint64_t key);
    // The wrap limit follows the width.
    void SetSize(float width, float height);
    void SetCompletionHandler(Callback<void()> handler) { m_completion = std::move(handler); }
    [[nodiscard]] const Callback<void()>& GetCompletionHandler() const { return m_completion; }
    // Hides the box (visible false, then OnHide).
    void HideBox() { Hide(); }

    [[nodiscard]] const std::u16string& GetSourceText() const { return m_sourceText; }
    // The text after line breaks ("\n" where "^" broke it), in Unicode, as a TrueType style draws it.
    [[nodiscard]] const std::u16string& GetLineText() const { return m_lineText; }
    // After line breaks, in the game's code page; with a bitmap style its length is the number of letters to type.
    [[nodiscard]] const std::string& GetDisplayText() const { return m_displayText; }
    // The steps of typing: letters of the display text, or grapheme clusters with a TrueType style.
    [[nodiscard]] std::int32_t GetLength() const { return m_length; }
    [[nodiscard]] std::int32_t GetShown() const { return m_shown; }
    [[nodiscard]] bool IsComplete() const { return m_complete; }
    [[nodiscard]] bool IsIndicatorVisible() const { return m_indicatorVisible; }
    [[nodiscard]] float GetRate() const { return m_rate; }
    [[nodiscard]] float GetTotal() const { return m_total; }
    [[nodiscard]] float GetWrapLimit() const { return m_wrapLimit; }
    [[nodiscard]] Style* GetStyle() const { return m_style; }
    [[nodiscard]] Resource* GetClickme() const { return m_clickme; }
    // Whether a click shows the rest of the text being typed, and whether one goes on from the complete text.
    [[nodiscard]] bool GetClick() const { return m_typingClick == TypingClick::ShowsAll; }
    [[nodiscard]] bool GetSkip() const { return m_readClick == ReadClick::GoesOn; }
    // Where the continue picture was last drawn (its top-left corner), in game coordinates; valid after a Render
    // that drew it.
    [[nodiscard]] float GetIndicatorX() const { return m_indicatorX; }
    [[nodiscard]] float GetIndicatorY() const { return m_indicatorY; }
    // The number of the box's current text among all texts set in any box so far, so a caller that runs handlers
    // can tell a box that got a new text meanwhile, and which texts are newer than a moment.
    [[nodiscard]] std::uint64_t GetTextSerial() const { return m_textSerial; }
    // The number the last text set in any box got.
    [[nodiscard]] static std::uint64_t LastTextSerial() { return s_lastTextSerial; }

private:
    // Where the drawn text ends, relative to the box: after its last letter, at the bottom of its last line.
    struct TextEnd
    {
        float x = 0.0f;
        float y = 0.0f;
        float lineStep = 0.0f; // from one line's top to the next one's
    };

    [[nodiscard]] TextEnd DrawText(hgeFont& font);
    [[nodiscard]] TextEnd DrawLayout();
    // Shapes the text when the style draws TrueType, and counts its typing steps.
    void SetLayout();
    void DrawIndicator(const TextEnd& end);
    void ShowAll();
    void MarkRead();

    Style* m_style = nullptr;
    float m_rate = 0.0f;
    Resource* m_clickme = nullptr;
    TypingClick m_typingClick = TypingClick::ShowsAll;
    ReadClick m_readClick = ReadClick::GoesOn;
    std::u16string m_sourceText;
    std::string m_displayText;
    std::u16string m_lineText;
    std::unique_ptr<TextLayout> m_layout; // set while the text's style draws TrueType
    std::int32_t m_length = 0;
    float m_elapsed = 0.0f;
    float m_total = 0.0f;
    std::int32_t m_shown = 0;
    float m_width = 0.0f;
    float m_height = 0.0f;
    float m_wrapLimit = 0.0f;
    bool m_indicatorVisible = false;
    bool m_complete = false;
    float m_indicatorX = 0.0f;
    float m_indicatorY = 0.0f;
    std::uint64_t m_textSerial = 0;
    std::uint64_t m_readKey = 0; // 0: no statement of the story
    static inline std::uint64_t s_lastTextSerial = 0;
    Callback<void()> m_completion;
};

} // namespace Vel
