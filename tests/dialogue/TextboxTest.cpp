#include "dialogue/Textbox.h"

#include "AllocationCounter.h"
#include "DialogueTestTools.h"
#include "HeadlessHge.h"

#include "resources/FontLibrary.h"
#include "resources/Style.h"
#include "resources/hgeFont.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <memory>
#include <string>

namespace Vel {
namespace {

using TestTools::MarkPicture;
using TestTools::Screen;
using TestTools::TimeAnimator;

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kMagenta = 0xFF00FF;

TEST(TextboxTest, CaretsBreakLinesTheCodePageIsUsedAndEveryByteIsTyped)
{
    Textbox box;
    EXPECT_FALSE(box.IsVisible()) << "a new box is hidden";
    const std::pair<std::u16string, std::string> cases[] = {
        {u"one^^two^", "one\ntwo"}, {u"^lead", "lead"},     {u"^^^", ""},
        {u"a\nb^c", "a\nb\nc"},     {u"é€中", "\xE9\x80?"}, {u"", ""},
    };
    for (const auto& [text, shown] : cases) {
        box.SetText(text, nullptr, 0.0f, nullptr, true, true);
        EXPECT_EQ(box.GetSourceText(), text);
        EXPECT_EQ(box.GetDisplayText(), shown);
        EXPECT_EQ(box.GetShown(), static_cast<std::int32_t>(shown.size()));
    }
    box.SetText(u"one^^two^", nullptr, 1.0f, nullptr, true, true);
    EXPECT_FLOAT_EQ(box.GetTotal(), 7.0f / 3.0f) << "the line feed is typed like a letter";
}

TEST(TextboxTest, NewTextKeepsPlaceSizeAndHandlerAndStartsOver)
{
    Textbox box;
    int handled = 0;
    box.MoveTo(5.0f, 6.0f);
    box.SetSize(200.0f, 50.0f);
    box.SetCompletionHandler(Callback<void()>([&handled] { ++handled; }));
    MarkPicture mark(8.0f, kMagenta);
    box.SetText(u"first", nullptr, 0.0f, &mark, false, false);
    EXPECT_TRUE(box.IsComplete());
    const std::uint64_t serial = box.GetTextSerial();

    box.SetText(u"second", nullptr, 2.0f, nullptr, true, true);
    EXPECT_TRUE(box.IsVisible());
    EXPECT_FALSE(box.IsComplete());
    EXPECT_FALSE(box.IsIndicatorVisible());
    EXPECT_EQ(box.GetShown(), 0);
    EXPECT_EQ(box.GetClickme(), nullptr);
    EXPECT_TRUE(box.GetClick() && box.GetSkip());
    EXPECT_EQ(box.GetTextSerial(), serial + 1);
    EXPECT_EQ(box.GetX(), 5.0f);
    EXPECT_EQ(box.GetY(), 6.0f);
    EXPECT_EQ(box.GetWidth(), 200.0f);
    EXPECT_EQ(box.GetHeight(), 50.0f);
    EXPECT_EQ(box.GetWrapLimit(), 185.0f);
    box.GetCompletionHandler()();
    EXPECT_EQ(handled, 1);
}

TEST(TextboxTest, TypesThreeLettersASecondPerSpeedStepAndOnlyWhileVisible)
{
    const std::u16string ninety(90, u'x');
    auto typed = [&](float speed, float seconds) {
        auto box = std::make_unique<Textbox>();
        box->SetText(ninety, nullptr, speed, nullptr, true, true);
        box->Update(seconds);
        return box;
    };
    EXPECT_EQ(typed(10.0f, 0.0f)->GetRate(), 30.0f);
    EXPECT_EQ(typed(10.0f, 0.0f)->GetTotal(), 3.0f);
    EXPECT_EQ(typed(10.0f, 1.01f)->GetShown(), 30);
    EXPECT_EQ(typed(10.0f, 2.99f)->GetShown(), 89);
    EXPECT_FALSE(typed(10.0f, 2.99f)->IsIndicatorVisible());
    EXPECT_TRUE(typed(10.0f, 3.0f)->IsComplete());
    EXPECT_TRUE(typed(10.0f, 3.0f)->IsIndicatorVisible());
    EXPECT_EQ(typed(10.0f, 3.0f)->GetShown(), 90);
    for (float atOnce : {0.0f, -4.0f}) {
        auto box = typed(atOnce, 0.0f);
        EXPECT_TRUE(box->IsComplete() && box->IsIndicatorVisible()) << atOnce;
        EXPECT_EQ(box->GetShown(), 90) << atOnce;
    }

    // A hidden box keeps its place in the text, and its animators wait too.
    auto box = typed(10.0f, 1.01f);
    auto animator = std::make_unique<TimeAnimator>(*box);
    TimeAnimator* clock = animator.get();
    box->AddAnimator(std::move(animator));
    box->HideBox();
    box->Update(5.0f);
    EXPECT_EQ(box->GetShown(), 30);
    EXPECT_EQ(clock->time, 0.0f);
    box->Show();
    box->Update(1.0f);
    EXPECT_EQ(box->GetShown(), 60);
    EXPECT_EQ(clock->time, 1.0f);
    box->Update(5.0f);
    EXPECT_EQ(clock->time, 6.0f) << "the animators run after the text is complete too";
}

TEST(TextboxTest, AClickCompletesTheTypingOrRunsTheHandlerButNeverBoth)
{
    Textbox box;
    box.SetSize(100.0f, 50.0f);
    int handled = 0;
    box.SetCompletionHandler(Callback<void()>([&handled] { ++handled; }));
    box.SetText(u"words", nullptr, 1.0f, nullptr, true, true);
    EXPECT_TRUE(box.TestMouse(kUnset, kUnset, true)) << "a click anywhere completes";
    EXPECT_TRUE(box.IsComplete());
    EXPECT_EQ(handled, 0);
    EXPECT_FALSE(box.TestMouse(kUnset, kUnset, false)) << "no click: the hit test answers";
    EXPECT_TRUE(box.TestMouse(kUnset, kUnset, true));
    EXPECT_EQ(handled, 1);

    // Click not allowed: the typing goes on; the box still answers its hit test.
    box.SetText(u"words", nullptr, 1.0f, nullptr, false, true);
    EXPECT_FALSE(box.TestMouse(kUnset, kUnset, true));
    EXPECT_TRUE(box.TestMouse(10.0f, 10.0f, true));
    EXPECT_FALSE(box.IsComplete());
    EXPECT_EQ(handled, 1);

    // Skip not allowed: a complete text waits.
    box.SetText(u"words", nullptr, 0.0f, nullptr, true, false);
    EXPECT_FALSE(box.TestMouse(kUnset, kUnset, true));
    EXPECT_EQ(handled, 1);

    box.HideBox();
    box.SetCompletionHandler(Callback<void()>([&handled] { ++handled; }));
    EXPECT_FALSE(box.TestMouse(10.0f, 10.0f, true)) << "hidden";
    EXPECT_EQ(handled, 1);
}

TEST(TextboxTest, AHandlerMayReplaceItselfWhileItRuns)
{
    Textbox box;
    std::vector<std::string> log;
    box.SetCompletionHandler(Callback<void()>([&] {
        log.push_back("first");
        box.SetCompletionHandler(Callback<void()>([&log] { log.push_back("second"); }));
        box.SetText(u"next", nullptr, 0.0f, nullptr, true, true);
    }));
    box.SetText(u"line", nullptr, 0.0f, nullptr, true, true);
    EXPECT_TRUE(box.TestMouse(kUnset, kUnset, true));
    EXPECT_EQ(log, std::vector<std::string>{"first"});
    EXPECT_TRUE(box.TestMouse(kUnset, kUnset, true));
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));
}

// Drawing with the test font on a 320 x 120 headless screen.
class TextboxDrawingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hge->System_SetState(HGE_LOGFILE, m_folder.File("engine.log").c_str());
        m_hge->System_SetState(HGE_TEXTUREFILTER, false); // nearest texels: letters land as exact rectangles
        ASSERT_TRUE(m_hge->System_Initiate());
        m_style.Set(u"letters", 16, 100, u"", 0, u"", 1.0f, 1.0f, 1.0f, 1.0f, m_library);
        ASSERT_NE(m_style.GetBitmapFont(), nullptr);
        ASSERT_TRUE(m_style.GetBitmapFont()->HasLetter('A'));
        m_box.MoveTo(20.0f, 10.0f);
        m_box.SetSize(100.0f, 60.0f);
    }

    Screen Draw(Textbox& box)
    {
        EXPECT_TRUE(m_hge->Gfx_BeginScene());
        m_hge->Gfx_Clear(0xFF000000);
        box.Render();
        m_hge->Gfx_EndScene();
        return Screen(m_hge.Get(), m_folder);
    }
    Screen Draw() { return Draw(m_box); }

    TestTools::FontFolder m_folder;
    TestTools::HeadlessHge m_hge{{}, 320, 120};
    FontLibrary m_library;
    Style m_style;
    Textbox m_box;
    MarkPicture m_mark{8.0f, kMagenta};
};

TEST_F(TextboxDrawingTest, TextFadesWithTheBoxWhileTheIndicatorStaysOpaqueAfterTheLastLetter)
{
    m_box.SetText(u"AA AA", &m_style, 0.0f, &m_mark, true, true);
    m_box.SetOpacity(0.5f);
    const Screen screen = Draw();
    const std::uint32_t letter = screen.At(25, 15);
    EXPECT_NEAR(static_cast<int>(letter >> 16), 0x7F, 2) << std::hex << letter;
    EXPECT_EQ(letter & 0xFFFF, 0u) << std::hex << letter;
    EXPECT_EQ(screen.At(19, 15), 0u) << "the text starts at the box's left edge";
    EXPECT_EQ(screen.At(25, 9), 0u) << "and at its top";
    // "AA AA" is 46 pixels wide; the 8-pixel picture's bottom sits on the line's bottom (10 + 16).
    EXPECT_EQ(screen.BoxOf(kMagenta), (std::vector<int>{66, 18, 73, 25}));
    ASSERT_EQ(m_mark.drawings.size(), 1u);
    EXPECT_EQ(m_mark.drawings[0].opacity, 1.0f);
    EXPECT_EQ(m_mark.drawings[0].zoom, 1.0f);
    EXPECT_EQ(m_box.GetIndicatorX(), 66.0f);
    EXPECT_EQ(m_box.GetIndicatorY(), 18.0f);

    // The font takes the style's colour with the box's opacity as alpha, and the style's spacing.
    m_style.Set(u"letters", 16, 150, u"", 0, u"", 1.0f, 0.5f, 0.0f, 0.2f, m_library);
    Draw();
    EXPECT_EQ(m_style.GetBitmapFont()->GetColor(), 0x7FFF7F00u);
    EXPECT_FLOAT_EQ(m_style.GetBitmapFont()->GetSpacing(), 1.5f);
}

TEST_F(TextboxDrawingTest, IndicatorFollowsTheWrappedTextAndGoesToTheNextLineAtTheWrapLimit)
{
    // The second word does not fit the 100-pixel width: it starts line two, 16 pixels down.
    m_box.SetText(u"AAAAA AAAAA", &m_style, 0.0f, &m_mark, true, true);
    Screen wrapped = Draw();
    EXPECT_EQ(wrapped.BoxOf(kRed), (std::vector<int>{20, 10, 69, 41}));
    EXPECT_EQ(wrapped.BoxOf(kMagenta), (std::vector<int>{70, 34, 77, 41}));

    // 80 pixels of text plus the 8-pixel picture pass the wrap limit of 85: the picture starts the next line.
    m_box.SetText(u"AAAAAAAA", &m_style, 0.0f, &m_mark, true, true);
    EXPECT_EQ(Draw().BoxOf(kMagenta), (std::vector<int>{20, 34, 27, 41}));
    m_box.SetText(u"AAAAAAA", &m_style, 0.0f, &m_mark, true, true);
    EXPECT_EQ(Draw().BoxOf(kMagenta), (std::vector<int>{90, 18, 97, 25})) << "70 + 8 is still inside";

    // Lines spaced 0 lie on each other, but the picture still goes below them.
    m_style.Set(u"letters", 16, 0, u"", 0, u"", 1.0f, 1.0f, 1.0f, 1.0f, m_library);
    m_box.SetText(u"AAAA^AAAAAAAA", &m_style, 0.0f, &m_mark, true, true);
    Screen flat = Draw();
    EXPECT_EQ(flat.BoxOf(kRed), (std::vector<int>{20, 10, 99, 25}));
    EXPECT_EQ(flat.BoxOf(kMagenta), (std::vector<int>{20, 34, 27, 41}));
}

TEST_F(TextboxDrawingTest, TypingDrawsTheTypedLettersOnlyAndNoIndicatorUntilComplete)
{
    m_box.SetText(u"AAAA", &m_style, 1.0f, &m_mark, true, true);
    m_box.Update(1.0f); // 3 letters a second
    Screen typing = Draw();
    EXPECT_EQ(typing.BoxOf(kRed), (std::vector<int>{20, 10, 49, 25}));
    EXPECT_TRUE(m_mark.drawings.empty());
    m_box.Update(0.5f);
    EXPECT_EQ(Draw().BoxOf(kMagenta), (std::vector<int>{60, 18, 67, 25}));

    m_box.HideBox();
    EXPECT_EQ(Draw().BoxOf(kRed)[0], -1) << "a hidden box draws nothing";
}

TEST_F(TextboxDrawingTest, LongTextsAreDrawnWhole)
{
    // 1,100 letters of one unbreakable word on the first line, then a line with one A: nothing is cut.
    m_box.SetText(std::u16string(1100, u'C') + u"^A", &m_style, 0.0f, &m_mark, true, true);
    const Screen screen = Draw();
    EXPECT_EQ(screen.BoxOf(kRed), (std::vector<int>{20, 26, 29, 41}));
    EXPECT_EQ(screen.BoxOf(kMagenta), (std::vector<int>{30, 34, 37, 41}));
}

TEST_F(TextboxDrawingTest, TypingAndDrawingALongWrappedTextEveryFrameAllocatesNothing)
{
    std::u16string text;
    while (text.size() < 1000)
        text += u"AAB CA BBA ";
    text.resize(1000);
    m_box.SetSize(300.0f, 110.0f);
    // One full drawing first: the font's buffer and the drawing's own storage reach their size.
    m_box.SetText(text, &m_style, 0.0f, &m_mark, true, true);
    Draw();
    m_box.SetText(text, &m_style, 100.0f, &m_mark, true, true);

    m_mark.drawings.reserve(256); // the test picture's own record

    std::size_t allocations = 0;
    std::chrono::nanoseconds typing{0}, whole{0};
    int typingFrames = 0;
    for (int frame = 0; frame < 240; ++frame) {
        ASSERT_TRUE(m_hge->Gfx_BeginScene());
        m_hge->Gfx_Clear(0xFF000000);
        const bool complete = m_box.IsComplete();
        const auto start = std::chrono::steady_clock::now();
        TestTools::AllocationScope scope;
        m_box.Update(1.0f / 60.0f);
        m_box.Render();
        allocations += scope.Allocations();
        (complete ? whole : typing) += std::chrono::steady_clock::now() - start;
        typingFrames += complete ? 0 : 1;
        m_hge->Gfx_EndScene();
    }
    EXPECT_TRUE(m_box.IsComplete()) << "1,000 letters at 300 a second take 3.3 s";
    EXPECT_EQ(allocations, 0u);
    EXPECT_FALSE(m_mark.drawings.empty());
    using Micro = std::chrono::duration<double, std::micro>;
    std::cout << "[ cost     ] 1,000 wrapped letters a frame: " << Micro(typing).count() / typingFrames
              << " us while typing, " << Micro(whole).count() / (240 - typingFrames) << " us once complete\n";
}

} // namespace
} // namespace Vel
