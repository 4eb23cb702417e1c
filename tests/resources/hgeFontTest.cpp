// The bitmap font test data: fonts/letters.bmp is 64 x 16 pixels; x 0-9 red (letter A), 10-19 green (B), 20-27
// blue (?), 28-33 black (the blank), 34-39 yellow over 12 rows (C), 40-63 magenta. B has a pre shift of 1 and a
// post shift of 2, so "AB" is 10 + 1 + 10 + 2 = 23 pixels wide.
#include "HeadlessHge.h"
#include "ProcessRecordGuard.h"
#include "ScreenPicture.h"
#include "TempFolder.h"

#include "core/TextCodec.h"
#include "resources/FontGenerator.h"
#include "resources/hgeFont.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <string>
#include <tuple>

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
    for (int byte = 0; byte < 256; ++byte)
        if (font.HasLetter(static_cast<unsigned char>(byte)))
            letters += static_cast<char>(byte);
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

    TestTools::ProcessRecordGuard m_records;
    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge{{}, 320, 120};
};

TEST_F(hgeFontTest, LoadingReadsBothNotationsClipsToTheBitmapAndLogsDamage)
{
    // The letters read, and what the log names (nullptr: not the file).
    // clang-format off
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"letters.fnt", " ?ABC", nullptr}, // hex and quoted letters; the line for 1FF defines nothing
        {"quoted.fnt", "A", nullptr},      // "Bitmap = letters.bmp"
        {"clipped.fnt", "ABC", nullptr}, {"charfirst.fnt", "AB", nullptr},
        {"badheader.fnt", "", "badheader.fnt has incorrect format."}, // "[HGEFONT] " with a trailing blank
        {"truncated.fnt", "A", "truncated.fnt: damaged letter line \"Char=42,10,0,1\" skipped."},
        {"damaged.fnt", "B", "damaged.fnt: damaged letter line \"Char=41,99999999999"}, // every line for A is broken
        {"nobitmap.fnt", "", "absent.bmp"}};
    // clang-format on
    for (const auto& [file, letters, logged] : cases) {
        EXPECT_EQ(Letters(hgeFont(FontFile(file))), letters) << file;
        EXPECT_EQ(Log().find(logged != nullptr ? logged : file) != std::string::npos, logged != nullptr) << Log();
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
    EXPECT_EQ(hgeFont(FontFile("charfirst.fnt")).GetSprite('A')->GetTexture(), 0u) << "A comes before the bitmap";
}

TEST_F(hgeFontTest, TextIsMeasuredAlignedWrappedIntoBoxesAndFallsBackToTheQuestionMark)
{
    hgeFont font(FontFile("letters.fnt"));
    EXPECT_EQ(font.GetStringWidth("AB"), 23.0f);
    EXPECT_EQ(font.GetStringWidth("A\x01"), 18.0f); // the missing letter measures as "?"
    EXPECT_EQ(font.GetStringWidth("A\nAB\r\n\nAAA", false), 10.0f);
    hgeFont noQuestion(FontFile("noquestion.fnt"));
    struct Case
    {
        const char* what;
        std::function<void()> draw;
        Box red, green, blue = kNoBox; // A, B and ?
    };
    // clang-format off
    const Case cases[] = {
        {"centred: 260 - 11.5 rounded", [&] { font.Render(260, 10, HGETEXT_CENTER, "AB"); },
         {248, 10, 257, 25, 160}, {259, 10, 268, 25, 160}},
        {"a missing letter drawn as ?", [&] { font.Render(10, 10, HGETEXT_LEFT, "A\001A"); },
         {10, 10, 37, 25, 320}, kNoBox, {20, 10, 27, 25, 128}},
        {"without ?, nothing and no gap", [&] { noQuestion.Render(10, 10, HGETEXT_LEFT, "A\001B"); },
         {10, 10, 19, 25, 160}, {20, 10, 29, 25, 160}},
        {"a carriage return is no letter", [&] { font.Render(10, 10, HGETEXT_LEFT, "A\r\nA"); },
         {10, 10, 19, 41, 320}, kNoBox},
        {"a word wider than the box stays whole, alone on its line",
         [&] { font.printfb(10, 40, 100, 80, HGETEXT_LEFT, "%s AA", std::string(15, 'A').c_str()); },
         {10, 40, 159, 71, 2720}, kNoBox},
    };
    // clang-format on
    for (const Case& c : cases) {
        const TestTools::ScreenPicture picture = TestTools::DrawFrame(m_hge.Get(), c.draw);
        EXPECT_EQ(picture.BoxOf(0xFF0000), c.red) << c.what;
        EXPECT_EQ(picture.BoxOf(0x00FF00), c.green) << c.what;
        EXPECT_EQ(picture.BoxOf(0x0000FF), c.blue) << c.what;
    }
}

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The engine's bitmap font reads what the generator writes, so these tests load the result the way a game does.
TEST_F(hgeFontTest, GeneratedLettersAreTheCodePagesPrintableOnesInProportionalWidths)
{
    ASSERT_TRUE(std::filesystem::exists(kDejaVu)) << "fonts-dejavu-core is not installed";
    ASSERT_TRUE(TextCodec::SetCodePage("CP1250"));
    std::string error;
    ASSERT_TRUE(FontGenerator::Generate(kDejaVu, 16, "CP1252", m_folder.File("sans 16.fnt"), error)) << error;
    EXPECT_EQ(TextCodec::CodePage(), "CP1250") << "the engine's code page is left alone";
    hgeFont font(m_folder.File("sans 16.fnt")); // a blank would end the bitmap's name in the description
    EXPECT_EQ(Letters(font).substr(0, 3), " !\"");
    EXPECT_EQ(Letters(font).find_first_of("\x7F\x81\x8D\x90"), std::string::npos) << "undefined in CP1252";
    EXPECT_TRUE(font.HasLetter(0x80) && font.HasLetter(0xFF));
    EXPECT_LT(font.GetStringWidth("il"), font.GetStringWidth("MW")) << "proportional, not fixed cells";
}

TEST_F(hgeFontTest, GeneratorBadInputIsRefusedWithAReasonAndWritesNothing)
{
    m_folder.Write("notafont.ttf", "plain text, not a font");
    std::filesystem::create_directories(m_folder.File("blocked.png")); // the sheet cannot be written over a folder
    const std::string font = kDejaVu, a = m_folder.File("a.fnt");
    // clang-format off
    const std::tuple<std::string, int, std::string, std::string, const char*> cases[] = {
        {m_folder.File("missing.ttf"), 16, "CP1252", a, "missing.ttf does not exist"},
        {m_folder.File("notafont.ttf"), 16, "CP1252", a, "is not a font FreeType can read"},
        {font, 16, "NO-SUCH-CODEPAGE", a, "\"NO-SUCH-CODEPAGE\" is not a single-byte"},
        {font, 16, "UTF-8", a, "\"UTF-8\" is not a single-byte code page"},
        {font, 16, "", a, "is not a single-byte code page"},
        {font, 16, "CP1252", m_folder.File("notafont.ttf/a.fnt"), "cannot make the folder"},
        {font, 0, "CP1252", a, "pixel size"},
        {font, 100000, "CP1252", a, "pixel size"},
        {font, 16, "CP1252", m_folder.File("a.png"), "overwritten by its own picture"},
        {font, 16, "CP1252", m_folder.File("blocked.fnt"), "cannot write"}};
    // clang-format on
    for (const auto& [ttf, size, codePage, out, reason] : cases) {
        std::string error;
        EXPECT_FALSE(FontGenerator::Generate(ttf, size, codePage, out, error)) << reason;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(TextCodec::CodePage(), "CP1252");
    }
    for (const char* name : {"a.fnt", "a.png", "blocked.fnt"})
        EXPECT_FALSE(std::filesystem::exists(m_folder.File(name))) << name;
}

} // namespace
} // namespace Vel
