#include "resources/FontGenerator.h"

#include "core/TextCodec.h"
#include "resources/hgeFont.h"

#include "HeadlessHge.h"
#include "ScreenPicture.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

namespace Vel {
namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The rows and columns of the screen where the red channel shows, within the columns [left, right).
TestTools::Box LitBox(const TestTools::ScreenPicture& picture, int left, int right)
{
    TestTools::Box box = {picture.Width(), picture.Height(), -1, -1, 0};
    for (int y = 0; y < picture.Height(); ++y) {
        for (int x = std::max(left, 0); x < std::min(right, picture.Width()); ++x) {
            if ((picture.At(x, y) & 0xFF0000) != 0)
                box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), y, box[4] + 1};
        }
    }
    return box[4] == 0 ? TestTools::kNoBox : box;
}

// The engine's bitmap font reads what the generator writes, so these tests load the result the way a game does.
class FontGeneratorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::filesystem::exists(kDejaVu)) << "fonts-dejavu-core is not installed";
        m_hge->System_SetState(HGE_LOGFILE, m_folder.File("engine.log").c_str());
        m_hge->System_SetState(HGE_TEXTUREFILTER, false);
        ASSERT_TRUE(m_hge->System_Initiate());
    }
    void TearDown() override { TextCodec::SetCodePage("CP1252"); }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge{{}, 160, 60};
};

TEST_F(FontGeneratorTest, TheCodePagesPrintableLettersAreMadeAndSpacedByTheGlyphMetrics)
{
    ASSERT_TRUE(TextCodec::SetCodePage("CP1250"));
    const std::string fnt = m_folder.File("sans 16.fnt");
    std::string error;
    ASSERT_TRUE(FontGenerator::Generate(kDejaVu, 16, "CP1252", fnt, error)) << error;
    EXPECT_EQ(TextCodec::CodePage(), "CP1250") << "the engine's code page is left alone";
    // A blank would end the bitmap's name in the description.
    EXPECT_TRUE(std::filesystem::exists(m_folder.File("sans_16.png")));

    const hgeFont font(fnt);
    for (unsigned char letter : {'A', 'z', ' ', '~', '\xE9', '\x80', '\xFF'})
        EXPECT_TRUE(font.HasLetter(letter)) << static_cast<int>(letter);
    // Controls and the bytes CP1252 leaves undefined.
    for (unsigned char letter : {'\x1F', '\x7F', '\x81', '\x8D', '\x90'})
        EXPECT_FALSE(font.HasLetter(letter)) << static_cast<int>(letter);
    EXPECT_GT(font.GetStringWidth("Hello"), 30.0f);
    EXPECT_LT(font.GetStringWidth("Hello"), 50.0f);
    EXPECT_LT(font.GetStringWidth("il"), font.GetStringWidth("MW")) << "proportional, not fixed cells";
    EXPECT_GE(font.GetHeight(), 16.0f);
    EXPECT_LE(font.GetHeight(), 24.0f);

    std::string cyrillic;
    ASSERT_TRUE(FontGenerator::Generate(kDejaVu, 16, "CP1251", m_folder.File("cyrillic.fnt"), cyrillic)) << cyrillic;
    const hgeFont russian(m_folder.File("cyrillic.fnt"));
    EXPECT_TRUE(russian.HasLetter(0xC6)); // Ж
    EXPECT_FALSE(russian.HasLetter(0x98)) << "undefined in CP1251";
    EXPECT_EQ(m_folder.Read("engine.log").find("Font"), std::string::npos) << m_folder.Read("engine.log");
}

TEST_F(FontGeneratorTest, LettersAreWhiteWithCoverageAsAlphaAndStandOnOneBaseline)
{
    std::string error;
    ASSERT_TRUE(FontGenerator::Generate(kDejaVu, 16, "CP1252", m_folder.File("sans.fnt"), error)) << error;
    hgeFont font(m_folder.File("sans.fnt"));
    ASSERT_TRUE(font.HasLetter('A'));
    const HTEXTURE sheet = font.GetTexture();
    const int sheetWidth = m_hge->Texture_GetWidth(sheet);
    const std::uint32_t* pixels = m_hge->Texture_Lock(sheet, true);
    ASSERT_NE(pixels, nullptr);
    int opaque = 0;
    int tinted = 0;
    for (int i = 0; i < sheetWidth * m_hge->Texture_GetHeight(sheet); ++i) {
        opaque += (pixels[i] >> 24) == 0xFF;
        tinted += (pixels[i] >> 24) != 0 && (pixels[i] & 0xFFFFFF) != 0xFFFFFF;
    }
    m_hge->Texture_Unlock(sheet);
    EXPECT_GT(opaque, 500);
    EXPECT_EQ(tinted, 0) << "every covered pixel is white";

    font.SetColor(0xFFFF0000);
    const float preA = font.GetPreWidth('A');
    const float widthA = font.GetSprite('A')->GetWidth();
    const float startG = preA + widthA + font.GetPostWidth('A') + font.GetPreWidth('g');
    const TestTools::ScreenPicture picture = TestTools::DrawFrame(m_hge.Get(), [&] { font.Render(10, 10, 0, "Ag"); });
    const TestTools::Box a = LitBox(picture, 10 + static_cast<int>(preA), 10 + static_cast<int>(preA + widthA));
    const TestTools::Box g = LitBox(picture, 10 + static_cast<int>(startG), picture.Width());
    ASSERT_GT(a[4], 20);
    ASSERT_GT(g[4], 20);
    EXPECT_EQ(LitBox(picture, 0, picture.Width())[4], a[4] + g[4]) << "nothing outside the letters' own columns";
    EXPECT_GE(a[1], 10);
    EXPECT_GT(g[1], a[1]) << "a small letter starts below a capital";
    // The capital sits on the baseline, the descender of g reaches below it and stays inside the line.
    EXPECT_GE(g[3] - a[3], 2);
    EXPECT_LE(g[3] - a[3], 6);
    EXPECT_LT(g[3], 10 + static_cast<int>(font.GetHeight()));
    EXPECT_EQ(picture.At(a[0] + (a[2] - a[0]) / 2, a[1] + 1) & 0x00FFFF, 0u) << "the font's colour tints the letters";
}

TEST_F(FontGeneratorTest, BadInputIsRefusedWithAReasonAndWritesNothing)
{
    m_folder.Write("notafont.ttf", "plain text, not a font");
    std::filesystem::create_directories(m_folder.File("blocked.png")); // the sheet cannot be written over a folder
    struct Case
    {
        std::string ttf;
        int size;
        std::string codePage;
        std::string out;
        const char* reason;
    };
    const Case cases[] = {
        {m_folder.File("missing.ttf"), 16, "CP1252", m_folder.File("a.fnt"), "missing.ttf does not exist"},
        {m_folder.File("notafont.ttf"), 16, "CP1252", m_folder.File("a.fnt"), "is not a font FreeType can read"},
        {kDejaVu, 16, "NO-SUCH-CODEPAGE", m_folder.File("a.fnt"), "\"NO-SUCH-CODEPAGE\" is not a single-byte"},
        {kDejaVu, 16, "UTF-8", m_folder.File("a.fnt"), "\"UTF-8\" is not a single-byte code page"},
        {kDejaVu, 16, "", m_folder.File("a.fnt"), "is not a single-byte code page"},
        {kDejaVu, 16, "CP1252", m_folder.File("absent/a.fnt"), "absent does not exist"},
        {kDejaVu, 0, "CP1252", m_folder.File("a.fnt"), "pixel size"},
        {kDejaVu, 100000, "CP1252", m_folder.File("a.fnt"), "pixel size"},
        {kDejaVu, 16, "CP1252", m_folder.File("a.png"), "overwritten by its own picture"},
        {kDejaVu, 16, "CP1252", m_folder.File("blocked.fnt"), "cannot write"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(FontGenerator::Generate(c.ttf, c.size, c.codePage, c.out, error)) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(TextCodec::CodePage(), "CP1252");
    }
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("a.fnt")));
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("a.png")));
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("blocked.fnt")));
}

} // namespace
} // namespace Vel
