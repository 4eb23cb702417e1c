#include "dialogue/Textbox.h"

#include "AllocationCounter.h"
#include "DialogueTestTools.h"
#include "HeadlessHge.h"
#include "ScreenPicture.h"

#include "resources/FontLibrary.h"
#include "resources/Style.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace Vel {
namespace {

using TestTools::MarkPicture;
using Screen = TestTools::ScreenPicture;
using TestTools::TimeAnimator;
using Rect = TestTools::Box;

constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kMagenta = 0xFF00FF;

TEST(TextboxTest, CaretsBreakLinesEveryByteIsTypedAndNewTextStartsOver)
{
    Textbox box;
    const std::pair<std::u16string, std::string> cases[] = {
        {u"one^^two^", "one\ntwo"}, {u"^lead", "lead"},     {u"^^^", ""},
        {u"a\nb^c", "a\nb\nc"},     {u"é€中", "\xE9\x80?"}, {u"", ""},
    };
    for (const auto& [text, shown] : cases) {
        box.SetText(text, nullptr, 0.0f, nullptr);
        EXPECT_EQ(box.GetDisplayText(), shown);
        EXPECT_EQ(box.GetShown(), static_cast<std::int32_t>(shown.size()));
    }
    const std::uint64_t serial = box.GetTextSerial();
    box.SetText(u"one^^two^", nullptr, 1.0f, nullptr);
    EXPECT_FLOAT_EQ(box.GetTotal(), 7.0f / 3.0f) << "the line feed is typed like a letter";
    EXPECT_FALSE(box.IsComplete() || box.IsIndicatorVisible()) << "new text starts over";
    EXPECT_EQ(box.GetShown(), 0);
    EXPECT_EQ(box.GetTextSerial(), serial + 1);
}

TEST(TextboxTest, TypesThreeLettersASecondPerSpeedStepAndOnlyWhileVisible)
{
    Textbox box;
    // The letters shown after the time at the speed, 'C' when complete, 'I' when the indicator shows.
    const auto type = [&box](float speed, float seconds) {
        box.SetText(std::u16string(90, u'x'), nullptr, speed, nullptr);
        box.Update(seconds);
        return std::to_string(box.GetShown()) + (box.IsComplete() ? "C" : "") + (box.IsIndicatorVisible() ? "I" : "");
    };
    std::string typed;
    for (const auto& [speed, seconds] :
         {std::pair{10.0f, 1.01f}, {10.0f, 2.99f}, {10.0f, 3.0f}, {0.0f, 0.0f}, {-4.0f, 0.0f}})
        typed += type(speed, seconds) + " ";
    EXPECT_EQ(typed, "30 89 90CI 90CI 90CI ") << "none and negative speeds show the text at once";

    // A hidden box keeps its place in the text, and its animators wait too.
    type(10.0f, 1.01f);
    auto animator = std::make_unique<TimeAnimator>(box);
    TimeAnimator* clock = animator.get();
    box.AddAnimator(std::move(animator));
    box.HideBox();
    box.Update(5.0f);
    EXPECT_EQ(box.GetShown(), 30);
    EXPECT_EQ(clock->time, 0.0f);
    box.Show();
    box.Update(1.0f);
    EXPECT_EQ(box.GetShown(), 60);
    EXPECT_EQ(clock->time, 1.0f);
}

// The handler may replace itself while it runs: the replacement answers the next click.
TEST(TextboxTest, AClickCompletesTheTypingOrRunsTheHandlerButNeverBoth)
{
    Textbox box;
    box.SetSize(100.0f, 50.0f);
    std::vector<std::string> log;
    box.SetCompletionHandler(Callback<void()>([&] {
        log.push_back("first");
        box.SetCompletionHandler(Callback<void()>([&log] { log.push_back("second"); }));
        box.SetText(u"next", nullptr, 0.0f, nullptr);
    }));
    box.SetText(u"words", nullptr, 1.0f, nullptr);
    // Each click: taken or not, the handler's runs, 'C' when the text is complete.
    std::string clicks;
    for (int click = 0; click < 3; ++click) {
        const bool taken = box.TestMouse(kUnset, kUnset, true);
        clicks += (taken ? "taken " : "passed ") + std::to_string(log.size()) + (box.IsComplete() ? "C " : " ");
    }
    EXPECT_EQ(clicks, "taken 0C taken 1C taken 2C ") << "the first click completes the typing";
    EXPECT_EQ(log, (std::vector<std::string>{"first", "second"}));

    box.SetText(u"words", nullptr, 1.0f, nullptr, Textbox::TypingClick::Ignored); // the typing goes on
    EXPECT_TRUE(box.TestMouse(10.0f, 10.0f, true)) << "the hit test still answers";
    EXPECT_FALSE(box.IsComplete());
    box.SetText(u"words", nullptr, 0.0f, nullptr, Textbox::TypingClick::ShowsAll,
                Textbox::ReadClick::Ignored); // a complete text waits
    EXPECT_FALSE(box.TestMouse(kUnset, kUnset, true));
    EXPECT_EQ(log.size(), 2u);
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
        m_style.Set({.font = u"letters", .size = 16, .lineSpacing = 100}, m_library);
        ASSERT_NE(m_style.GetBitmapFont(), nullptr);
        m_box.MoveTo(20.0f, 10.0f);
        m_box.SetSize(100.0f, 60.0f);
    }

    Screen Draw()
    {
        return TestTools::DrawFrame(m_hge.Get(), [this] { m_box.Render(); });
    }
    Screen Show(const std::u16string& text)
    {
        m_box.SetText(text, &m_style, 0.0f, &m_mark);
        return Draw();
    }

    TestTools::FontFolder m_folder;
    TestTools::HeadlessHge m_hge{{}, 320, 120};
    FontLibrary m_library;
    Style m_style;
    Textbox m_box;
    MarkPicture m_mark{8.0f, kMagenta};
};

TEST_F(TextboxDrawingTest, TextFadesWithTheBoxWhileTheIndicatorStaysOpaqueAfterTheLastLetter)
{
    m_box.SetOpacity(0.5f);
    const Screen screen = Show(u"AA AA");
    const std::uint32_t letter = screen.At(25, 15);
    EXPECT_NEAR(static_cast<int>(letter >> 16), 0x7F, 2) << std::hex << letter;
    EXPECT_EQ(screen.At(19, 15), 0u) << "the text starts at the box's left edge";
    // "AA AA" is 46 pixels wide; the 8-pixel picture's bottom sits on the line's bottom (10 + 16).
    EXPECT_EQ(screen.BoxOf(kMagenta), (Rect{66, 18, 73, 25, 64}));
    EXPECT_EQ(m_mark.opacities, std::vector<float>{1.0f});
}

TEST_F(TextboxDrawingTest, IndicatorFollowsTheWrappedTextAndGoesToTheNextLineAtTheWrapLimit)
{
    const std::pair<std::u16string, Rect> cases[] = {
        {u"AAAAA AAAAA", {70, 34, 77, 41, 64}},                     // the second word starts line two
        {u"AAAAAAAA", {20, 34, 27, 41, 64}},                        // 80 + 8 passes the wrap limit of 85
        {u"AAAAAAA", {90, 18, 97, 25, 64}},                         // 70 + 8 is still inside
        {std::u16string(1100, u'C') + u"^A", {30, 34, 37, 41, 64}}, // long texts are drawn whole
    };
    for (const auto& [text, mark] : cases)
        EXPECT_EQ(Show(text).BoxOf(kMagenta), mark) << text.size();

    // Lines spaced 0 lie on each other, but the picture still goes below them.
    m_style.Set({.font = u"letters", .size = 16, .lineSpacing = 0}, m_library);
    EXPECT_EQ(Show(u"AAAA^AAAAAAAA").BoxOf(kMagenta), (Rect{20, 34, 27, 41, 64}));
}

TEST_F(TextboxDrawingTest, TypingDrawsTheTypedLettersOnlyAndNoIndicatorUntilComplete)
{
    m_box.SetText(u"AAAA", &m_style, 1.0f, &m_mark);
    m_box.Update(1.0f); // 3 letters a second
    EXPECT_EQ(Draw().BoxOf(kRed), (Rect{20, 10, 49, 25, 480}));
    EXPECT_TRUE(m_mark.opacities.empty());
    m_box.Update(0.5f);
    EXPECT_EQ(Draw().BoxOf(kMagenta), (Rect{60, 18, 67, 25, 64}));
}

TEST_F(TextboxDrawingTest, TypingAndDrawingALongWrappedTextEveryFrameAllocatesNothing)
{
    std::u16string text;
    while (text.size() < 1000)
        text += u"AAB CA BBA ";
    m_box.SetSize(300.0f, 110.0f);
    Show(text); // one full drawing first: the buffers reach their size
    m_box.SetText(text, &m_style, 100.0f, &m_mark);
    m_mark.opacities.reserve(256);

    std::size_t allocations = 0;
    for (int frame = 0; frame < 240; ++frame) {
        ASSERT_TRUE(m_hge->Gfx_BeginScene());
        TestTools::AllocationScope scope;
        m_box.Update(1.0f / 60.0f);
        m_box.Render();
        allocations += scope.Allocations();
        m_hge->Gfx_EndScene();
    }
    EXPECT_TRUE(m_box.IsComplete());
    EXPECT_FALSE(m_mark.opacities.empty());
    EXPECT_EQ(allocations, 0u);
}

} // namespace
} // namespace Vel
