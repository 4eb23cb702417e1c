// The bitmap font test data: fonts/letters.bmp is 64 x 16 pixels; x 0-9 red (letter A), 10-19 green (B), 20-27
// blue (?), 28-33 black (the blank), 34-39 yellow over 12 rows (C), 40-63 magenta. B has a pre shift of 1 and a
// post shift of 2, so "AB" is 10 + 1 + 10 + 2 = 23 pixels wide.
#include "HeadlessHge.h"
#include "ScreenPicture.h"
#include "TempFolder.h"

#include "resources/hgeFont.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>

namespace Vel {
namespace {

using TestTools::Box;
using TestTools::kNoBox;

std::string FontFile(const std::string& name)
{
    return std::string(VEL_TEST_DATA) + "/fonts/" + name;
}

// The bytes the font has letters for, in order.
std::string Letters(const hgeFont& font)
{
    std::string letters;
    for (int byte = 0; byte < 256; ++byte) {
        if (font.HasLetter(static_cast<unsigned char>(byte)))
            letters += static_cast<char>(byte);
    }
    return letters;
}

// Drawn size, then the texture coordinates of the top-left and bottom-right corners.
std::array<float, 6> Cut(const hgeSprite* letter)
{
    if (letter == nullptr)
        return {-1, -1, -1, -1, -1, -1};
    const hgeQuad& quad = letter->GetQuad();
    return {letter->GetWidth(), letter->GetHeight(), quad.v[0].tx, quad.v[0].ty, quad.v[2].tx, quad.v[2].ty};
}

class hgeFontTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hge->System_SetState(HGE_LOGFILE, m_folder.File("engine.log").c_str());
        m_hge->System_SetState(HGE_TEXTUREFILTER, false); // nearest texels: each letter lands as an exact rectangle
        ASSERT_TRUE(m_hge->System_Initiate());
    }
    std::string Log() const { return m_folder.Read("engine.log"); }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge{{}, 320, 120};
};

TEST_F(hgeFontTest, LoadingReadsBothNotationsClipsToTheBitmapAndLogsDamage)
{
    struct Case
    {
        const char* file;
        const char* letters;
        const char* logged; // nullptr: the file is not named in the log
    };
    const Case cases[] = {
        {"letters.fnt", " ?ABC", nullptr}, // hex and quoted letters; the line for 1FF defines nothing
        {"quoted.fnt", "A", nullptr},      // "Bitmap = letters.bmp"
        {"clipped.fnt", "ABC", nullptr},
        {"charfirst.fnt", "AB", nullptr},
        {"badheader.fnt", "", "badheader.fnt has incorrect format."}, // "[HGEFONT] " with a trailing blank
        {"truncated.fnt", "A", "truncated.fnt: damaged letter line \"Char=42,10,0,1\" skipped."},
        {"damaged.fnt", "B", "damaged.fnt: damaged letter line \"Char=41,99999999999"}, // every line for A is broken
        {"nobitmap.fnt", "", "absent.bmp"},
    };
    for (const Case& c : cases) {
        const hgeFont font(FontFile(c.file));
        EXPECT_EQ(Letters(font), c.letters) << c.file;
        if (c.logged != nullptr)
            EXPECT_NE(Log().find(c.logged), std::string::npos) << Log();
        else
            EXPECT_EQ(Log().find(c.file), std::string::npos) << Log();
    }
    EXPECT_EQ(Letters(hgeFont(FontFile("none-such.fnt"))), "");

    const hgeFont font(FontFile("letters.fnt"));
    EXPECT_EQ(Cut(font.GetSprite('A')), (std::array{10.0f, 16.0f, 0.0f, 0.0f, 10.0f / 64, 1.0f}));
    EXPECT_EQ(Cut(hgeFont(FontFile("quoted.fnt")).GetSprite('A')), Cut(font.GetSprite('A')));
    // Blanks round every separator.
    EXPECT_EQ(Cut(font.GetSprite('C')), (std::array{6.0f, 12.0f, 34.0f / 64, 0.0f, 40.0f / 64, 12.0f / 16}));
    const hgeFont clipped(FontFile("clipped.fnt")); // A at 60, 0, 10 x 20; B at -5, -5, 10 x 10; C wholly outside
    EXPECT_EQ(Cut(clipped.GetSprite('A')), (std::array{4.0f, 16.0f, 60.0f / 64, 0.0f, 1.0f, 1.0f}));
    EXPECT_EQ(Cut(clipped.GetSprite('B')), (std::array{5.0f, 5.0f, 0.0f, 0.0f, 5.0f / 64, 5.0f / 16}));
    EXPECT_EQ(clipped.GetSprite('C')->GetWidth(), 0.0f);
    EXPECT_EQ(clipped.GetHeight(), 16.0f);
    const hgeFont charFirst(FontFile("charfirst.fnt")); // A comes before the bitmap: it has no texture
    EXPECT_EQ(charFirst.GetSprite('A')->GetTexture(), 0u);
    EXPECT_EQ(charFirst.GetSprite('B')->GetTexture(), charFirst.GetTexture());
}

TEST_F(hgeFontTest, TextIsMeasuredAlignedWrappedIntoBoxesAndFallsBackToTheQuestionMark)
{
    hgeFont font(FontFile("letters.fnt"));
    EXPECT_EQ(font.GetStringWidth("AB"), 23.0f);
    EXPECT_EQ(font.GetStringWidth("A\x01"), 18.0f); // the missing letter measures as "?"
    EXPECT_EQ(font.GetStringWidth("A\nAB\r\n\nAAA", false), 10.0f);
    EXPECT_EQ(font.GetStringWidth("A\nAB\r\n\nAAA", true), 30.0f);
    EXPECT_EQ(font.GetStringWidth("AB\rA", true), 23.0f);
    hgeFont scaled(FontFile("letters.fnt"));
    scaled.SetTracking(1.0f);
    scaled.SetScale(2.0f);
    EXPECT_EQ(scaled.GetStringWidth("AB"), 50.0f);
    scaled.SetProportion(0.5f);
    EXPECT_EQ(scaled.GetStringWidth("AB"), 25.0f);
    EXPECT_EQ(hgeFont(FontFile("noquestion.fnt")).GetStringWidth("A\001A"), 20.0f);
    hgeFont tight(FontFile("letters.fnt"));
    tight.SetSpacing(0.0f);
    hgeFont noQuestion(FontFile("noquestion.fnt"));
    struct Case
    {
        const char* what;
        std::function<void()> draw;
        Box red, green, blue = kNoBox; // A, B and ?
    };
    // clang-format off
    const Case cases[] = {
        {"left", [&] { font.Render(20, 10, HGETEXT_LEFT, "AB"); }, {20, 10, 29, 25, 160}, {31, 10, 40, 25, 160}},
        {"right, line by line", [&] { font.Render(200, 10, HGETEXT_RIGHT, "AB\nA"); },
         {177, 10, 199, 41, 320}, {188, 10, 197, 25, 160}},
        {"centred: 260 - 11.5 rounded", [&] { font.Render(260, 10, HGETEXT_CENTER, "AB"); },
         {248, 10, 257, 25, 160}, {259, 10, 268, 25, 160}},
        {"spacing factor 0: B over A", [&] { tight.Render(140, 50, HGETEXT_LEFT, "A\nB"); },
         {140, 50, 140, 65, 16}, {141, 50, 150, 65, 160}},
        {"a missing letter drawn as ?", [&] { font.Render(10, 10, HGETEXT_LEFT, "A\001A"); },
         {10, 10, 37, 25, 320}, kNoBox, {20, 10, 27, 25, 128}},
        {"without ?, nothing and no gap", [&] { noQuestion.Render(10, 10, HGETEXT_LEFT, "A\001B"); },
         {10, 10, 19, 25, 160}, {20, 10, 29, 25, 160}},
        {"a carriage return is no letter", [&] { font.Render(10, 10, HGETEXT_LEFT, "A\r\nA"); },
         {10, 10, 19, 41, 320}, kNoBox},
        {"a word wider than the box stays whole, alone on its line",
         [&] { font.printfb(10, 40, 100, 80, HGETEXT_LEFT, "%s AA", std::string(15, 'A').c_str()); },
         {10, 40, 159, 71, 2720}, kNoBox},
        {"\"AAAA AAAA\" is 86 wide: two lines at the bottom",
         [&] { font.printfb(200, 0, 100, 120, HGETEXT_BOTTOM, "AAAA AAAA AAAA"); },
         {200, 88, 285, 119, 1920}, kNoBox},
        {"two lines centred in the middle",
         [&] { font.printfb(10, 0, 100, 120, HGETEXT_MIDDLE | HGETEXT_CENTER, "AAAA AAAA AAAA"); },
         {17, 44, 102, 75, 1920}, kNoBox},
        {"right in the box", [&] { font.printfb(200, 0, 100, 40, HGETEXT_RIGHT, "A B"); },
         {271, 0, 280, 15, 160}, {288, 0, 297, 15, 160}},
        {"longer than any fixed buffer",
         [&] { font.printf(310, 100, HGETEXT_RIGHT, "%s%c", std::string(1500, 'A').c_str(), 'B'); },
         {0, 100, 296, 115, 4752}, {298, 100, 307, 115, 160}},
    };
    // clang-format on
    for (const Case& c : cases) {
        const TestTools::ScreenPicture picture = TestTools::DrawFrame(m_hge.Get(), c.draw);
        EXPECT_EQ(picture.BoxOf(0xFF0000), c.red) << c.what;
        EXPECT_EQ(picture.BoxOf(0x00FF00), c.green) << c.what;
        EXPECT_EQ(picture.BoxOf(0x0000FF), c.blue) << c.what;
    }
}

} // namespace
} // namespace Vel
