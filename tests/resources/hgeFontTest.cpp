// The bitmap font test data: fonts/letters.bmp is 64 x 16 pixels; x 0-9 red (letter A), 10-19 green (B), 20-27
// blue (?), 28-33 black (the blank), 34-39 yellow over 12 rows (C), 40-63 magenta. B has a pre shift of 1 and a
// post shift of 2, so "AB" is 10 + 1 + 10 + 2 = 23 pixels wide.
#include "AllocationCounter.h"
#include "HeadlessHge.h"
#include "ScreenPicture.h"
#include "TempFolder.h"

#include "resources/hgeFont.h"

#include <gtest/gtest.h>

#include <string>

namespace Vel {
namespace {

using TestTools::AllocationScope;
using TestTools::HeadlessHge;
using TestTools::ScreenPicture;
using TestTools::TempFolder;

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kBlack = 0;
const std::string kLongWord(15, 'A'); // 150 pixels

std::string FontFile(const std::string& name)
{
    return std::string(VEL_TEST_DATA) + "/fonts/" + name;
}

int LetterCount(const hgeFont& font)
{
    int count = 0;
    for (int byte = 0; byte < 256; ++byte)
        count += font.HasLetter(static_cast<unsigned char>(byte)) ? 1 : 0;
    return count;
}

class hgeFontTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hge->System_SetState(HGE_LOGFILE, m_folder.File("engine.log").c_str());
        ASSERT_TRUE(m_hge->System_Initiate());
    }
    void BeginFrame()
    {
        ASSERT_TRUE(m_hge->Gfx_BeginScene());
        m_hge->Gfx_Clear(0xFF000000);
    }
    ScreenPicture EndFrame()
    {
        m_hge->Gfx_EndScene();
        return ScreenPicture(m_hge.Get());
    }
    std::string Log() const { return m_folder.Read("engine.log"); }

    TempFolder m_folder;
    HeadlessHge m_hge{{}, 320, 120};
};

TEST_F(hgeFontTest, LettersComeFromBothNotationsAndWideValuesAreIgnored)
{
    hgeFont font(FontFile("letters.fnt"));
    EXPECT_EQ(LetterCount(font), 5); // A B ? blank C; the line for 1FF defines nothing
    EXPECT_FALSE(font.HasLetter(0xFF));
    EXPECT_NE(font.GetTexture(), 0u);
    EXPECT_EQ(font.GetHeight(), 16.0f);
    EXPECT_EQ(font.GetPreWidth('B'), 1.0f);
    EXPECT_EQ(font.GetPostWidth('B'), 2.0f);
    const hgeSprite* c = font.GetSprite('C'); // blanks around every separator
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetWidth(), 6.0f);
    EXPECT_EQ(c->GetHeight(), 12.0f);

    hgeFont quoted(FontFile("quoted.fnt"));
    const hgeSprite* hex = font.GetSprite('A');
    const hgeSprite* letter = quoted.GetSprite('A');
    ASSERT_NE(hex, nullptr);
    ASSERT_NE(letter, nullptr);
    EXPECT_EQ(hex->GetWidth(), letter->GetWidth());
    EXPECT_EQ(hex->GetHeight(), letter->GetHeight());
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(hex->GetQuad().v[i].tx, letter->GetQuad().v[i].tx);
        EXPECT_EQ(hex->GetQuad().v[i].ty, letter->GetQuad().v[i].ty);
    }
    EXPECT_EQ(hex->GetQuad().v[1].tx, 10.0f / 64.0f);
    EXPECT_EQ(Log().find("letters.fnt"), std::string::npos) << Log();
}

TEST_F(hgeFontTest, DamagedDescriptionsKeepTheLettersTheyCouldRead)
{
    hgeFont badHeader(FontFile("badheader.fnt")); // "[HGEFONT] " with a trailing blank
    EXPECT_EQ(LetterCount(badHeader), 0);
    EXPECT_NE(Log().find("Font " + FontFile("badheader.fnt") + " has incorrect format."), std::string::npos) << Log();

    hgeFont charFirst(FontFile("charfirst.fnt"));
    ASSERT_TRUE(charFirst.HasLetter('A') && charFirst.HasLetter('B'));
    EXPECT_EQ(charFirst.GetSprite('A')->GetTexture(), 0u);
    EXPECT_EQ(charFirst.GetSprite('B')->GetTexture(), charFirst.GetTexture());

    hgeFont truncated(FontFile("truncated.fnt")); // ends inside the numbers of B
    EXPECT_TRUE(truncated.HasLetter('A'));
    EXPECT_EQ(LetterCount(truncated), 1);

    hgeFont damaged(FontFile("damaged.fnt")); // every line for A is broken, B's after them is fine
    EXPECT_TRUE(damaged.HasLetter('B'));
    EXPECT_EQ(LetterCount(damaged), 1);
    EXPECT_NE(Log().find("damaged.fnt: damaged letter line \"Char=41,99999999999"), std::string::npos) << Log();

    hgeFont noBitmap(FontFile("nobitmap.fnt"));
    EXPECT_EQ(LetterCount(noBitmap), 0);
    EXPECT_NE(Log().find("absent.bmp"), std::string::npos);

    hgeFont missing(FontFile("none-such.fnt"));
    EXPECT_EQ(LetterCount(missing), 0);
    EXPECT_EQ(missing.GetStringWidth("AB"), 0.0f);
}

TEST_F(hgeFontTest, RectanglesOutsideTheBitmapAreClippedToIt)
{
    hgeFont font(FontFile("clipped.fnt"));
    ASSERT_EQ(LetterCount(font), 3);
    const hgeSprite& right = *font.GetSprite('A'); // x 60, 10 x 20 on a 64 x 16 bitmap
    EXPECT_EQ(right.GetWidth(), 4.0f);
    EXPECT_EQ(right.GetHeight(), 16.0f);
    EXPECT_EQ(right.GetQuad().v[0].tx, 60.0f / 64.0f);
    EXPECT_EQ(right.GetQuad().v[2].tx, 1.0f);
    EXPECT_EQ(right.GetQuad().v[2].ty, 1.0f);
    const hgeSprite& topLeft = *font.GetSprite('B'); // -5, -5, 10 x 10
    EXPECT_EQ(topLeft.GetWidth(), 5.0f);
    EXPECT_EQ(topLeft.GetQuad().v[0].tx, 0.0f);
    EXPECT_EQ(topLeft.GetQuad().v[2].ty, 5.0f / 16.0f);
    EXPECT_EQ(font.GetSprite('C')->GetWidth(), 0.0f); // wholly outside
    EXPECT_EQ(font.GetHeight(), 16.0f);
}

TEST_F(hgeFontTest, StringWidthsCountShiftsTrackingScaleAndTheFallback)
{
    hgeFont font(FontFile("letters.fnt"));
    EXPECT_EQ(font.GetStringWidth("AB"), 23.0f);
    EXPECT_EQ(font.GetStringWidth("A\x01"), 18.0f); // the missing letter measures as "?"
    EXPECT_EQ(font.GetStringWidth("A\nAB\r\n\nAAA", false), 10.0f);
    EXPECT_EQ(font.GetStringWidth("A\nAB\r\n\nAAA", true), 30.0f);
    EXPECT_EQ(font.GetStringWidth("AB\rA", true), 23.0f);
    font.SetTracking(1.0f);
    font.SetScale(2.0f);
    EXPECT_EQ(font.GetStringWidth("AB"), 50.0f);
    font.SetProportion(0.5f);
    EXPECT_EQ(font.GetStringWidth("AB"), 25.0f);

    hgeFont noQuestion(FontFile("noquestion.fnt"));
    EXPECT_EQ(noQuestion.GetStringWidth("A\001A"), 20.0f);
}

TEST_F(hgeFontTest, RenderAlignsLinesAndHonoursTheSpacingFactor)
{
    hgeFont font(FontFile("letters.fnt"));
    BeginFrame();
    font.Render(20, 10, HGETEXT_LEFT, "AB");
    font.Render(200, 10, HGETEXT_RIGHT, "AB\nA"); // x 177..200, second line 190..200
    font.Render(260, 10, HGETEXT_CENTER, "AB");   // 260 - 11.5 rounded = 248
    EXPECT_EQ(font.GetSprite('A')->GetQuad().v[0].x, 248.0f);
    font.Render(100, 50, HGETEXT_LEFT, "A\nB"); // B on the line below
    font.SetSpacing(0.0f);
    font.Render(140, 50, HGETEXT_LEFT, "A\nB"); // B over A
    ScreenPicture picture = EndFrame();

    EXPECT_TRUE(picture.Is(25, 18, kRed));
    EXPECT_TRUE(picture.Is(36, 18, kGreen));
    EXPECT_TRUE(picture.Is(45, 18, kBlack));
    EXPECT_TRUE(picture.Is(174, 18, kBlack));
    EXPECT_TRUE(picture.Is(182, 18, kRed));
    EXPECT_TRUE(picture.Is(193, 18, kGreen));
    EXPECT_TRUE(picture.Is(195, 34, kRed));
    EXPECT_TRUE(picture.Is(185, 34, kBlack));
    EXPECT_TRUE(picture.Is(245, 18, kBlack));
    EXPECT_TRUE(picture.Is(253, 18, kRed));
    EXPECT_TRUE(picture.Is(264, 18, kGreen));
    EXPECT_TRUE(picture.Is(273, 18, kBlack));

    EXPECT_TRUE(picture.Is(105, 58, kRed));
    EXPECT_TRUE(picture.Is(106, 74, kGreen));
    EXPECT_TRUE(picture.Is(146, 58, kGreen));
    EXPECT_TRUE(picture.Is(146, 74, kBlack));
}

TEST_F(hgeFontTest, MissingLettersDrawTheQuestionMarkOrNothing)
{
    hgeFont font(FontFile("letters.fnt"));
    hgeFont noQuestion(FontFile("noquestion.fnt"));
    BeginFrame();
    font.Render(10, 10, HGETEXT_LEFT, "A\001A");
    noQuestion.Render(10, 40, HGETEXT_LEFT, "A\001B");
    font.Render(10, 70, HGETEXT_LEFT, "A\r\nA"); // a carriage return is not a letter
    ScreenPicture picture = EndFrame();
    EXPECT_TRUE(picture.Is(15, 18, kRed));
    EXPECT_TRUE(picture.Is(24, 18, kBlue));
    EXPECT_TRUE(picture.Is(33, 18, kRed));
    EXPECT_TRUE(picture.Is(15, 48, kRed));
    EXPECT_TRUE(picture.Is(25, 48, kGreen)); // no gap where the missing letter was
    EXPECT_TRUE(picture.Is(24, 78, kBlack));
    EXPECT_TRUE(picture.Is(15, 94, kRed));
}

TEST_F(hgeFontTest, PrintfbWrapsWordsAndPlacesTheTextInTheBox)
{
    hgeFont font(FontFile("letters.fnt"));
    BeginFrame();
    // A word wider than the box stays whole on its line, past the right edge.
    font.printfb(10, 0, 100, 40, HGETEXT_LEFT, "%s", kLongWord.c_str());
    // The first word of a line keeps it alone; the next word starts the line below.
    font.printfb(10, 40, 100, 80, HGETEXT_LEFT, "%s %s", kLongWord.c_str(), "AA");
    // "AAAA AAAA" is 86 wide; the third word goes below. Two lines (32 pixels) at the bottom of a 120 high box.
    font.printfb(200, 0, 100, 120, HGETEXT_BOTTOM, "AAAA AAAA AAAA");
    ScreenPicture picture = EndFrame();

    EXPECT_TRUE(picture.Is(155, 8, kRed));
    EXPECT_TRUE(picture.Is(15, 24, kBlack));
    EXPECT_TRUE(picture.Is(155, 48, kRed));
    EXPECT_TRUE(picture.Is(170, 48, kBlack));
    EXPECT_TRUE(picture.Is(15, 64, kRed));
    EXPECT_TRUE(picture.Is(25, 64, kRed));
    EXPECT_TRUE(picture.Is(35, 64, kBlack));

    EXPECT_TRUE(picture.Is(205, 84, kBlack));
    EXPECT_TRUE(picture.Is(205, 96, kRed));
    EXPECT_TRUE(picture.Is(251, 96, kRed));
    EXPECT_TRUE(picture.Is(205, 112, kRed));
    EXPECT_TRUE(picture.Is(251, 112, kBlack));
}

TEST_F(hgeFontTest, PrintfbCentresAndRightAlignsInTheBoxAndLongTextsStayWhole)
{
    hgeFont font(FontFile("letters.fnt"));
    BeginFrame();
    // Two lines in the middle of a 120 high box: y = (120 - 32) / 2 = 44; centred on x 10 + 50.
    font.printfb(10, 0, 100, 120, HGETEXT_MIDDLE | HGETEXT_CENTER, "AAAA AAAA AAAA");
    font.printfb(200, 0, 100, 40, HGETEXT_RIGHT, "A B");
    // Longer than any fixed buffer: the last letter still arrives at the right edge.
    font.printf(310, 100, HGETEXT_RIGHT, "%s%c", std::string(1500, 'A').c_str(), 'B');
    ScreenPicture picture = EndFrame();

    EXPECT_TRUE(picture.Is(50, 40, kBlack));
    EXPECT_TRUE(picture.Is(50, 52, kRed)); // "AAAA AAAA" from 17 to 103, the blank at 57..63
    EXPECT_TRUE(picture.Is(60, 52, kBlack));
    EXPECT_TRUE(picture.Is(19, 52, kRed));
    EXPECT_TRUE(picture.Is(15, 52, kBlack));
    EXPECT_TRUE(picture.Is(45, 68, kRed)); // "AAAA" from 40 to 80
    EXPECT_TRUE(picture.Is(36, 68, kBlack));
    EXPECT_TRUE(picture.Is(84, 68, kBlack));
    EXPECT_TRUE(picture.Is(78, 78, kBlack)); // nothing below the text

    EXPECT_TRUE(picture.Is(295, 8, kGreen)); // "A B" fits, 29 wide: A at 271, B at 288
    EXPECT_TRUE(picture.Is(276, 8, kRed));
    EXPECT_TRUE(picture.Is(268, 8, kBlack));
    EXPECT_TRUE(picture.Is(305, 108, kGreen));
    EXPECT_TRUE(picture.Is(295, 108, kRed));
}

TEST_F(hgeFontTest, DrawingTheSameFrameAgainAllocatesNothing)
{
    hgeFont font(FontFile("letters.fnt"));
    const HTEXTURE texture = TestTools::QuadrantTexture(m_hge.Get(), 32);
    hgeSprite sprite(texture, 0, 0, 32, 32);
    hgeSprite stretched(texture, 8, 8, 16, 16);
    sprite.SetHotSpot(16, 16);
    auto frame = [&](int n) {
        ASSERT_TRUE(m_hge->Gfx_BeginScene());
        m_hge->Gfx_Clear(0xFF000000);
        for (int i = 0; i < 20; ++i)
            sprite.RenderEx(40.0f + i, 40.0f, 0.1f * i, 1.5f);
        stretched.RenderStretch(0, 0, 100, 50);
        font.printf(10, 10, HGETEXT_LEFT, "Frame %d", n % 10);
        font.printfb(0, 0, 100, 100, HGETEXT_MIDDLE | HGETEXT_CENTER, "%s %s", "AAAA AAAA", "AB");
        font.Render(300, 100, HGETEXT_RIGHT, "AB\nA?B");
        m_hge->Gfx_EndScene();
    };
    frame(0);
    AllocationScope scope;
    for (int n = 1; n <= 30; ++n)
        frame(n);
    EXPECT_EQ(scope.Allocations(), 0u);
}

} // namespace
} // namespace Vel
