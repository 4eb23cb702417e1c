#include "resources/FontFace.h"
#include "resources/AdvancedFont.h"
#include "resources/FontLibrary.h"
#include "resources/hgeFont.h"
#include "resources/hgeSprite.h"

#include "HeadlessHge.h"
#include "ScreenPicture.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace Vel {
namespace {

const std::filesystem::path kFonts = "/usr/share/fonts/truetype/dejavu";
const std::string kDejaVu = (kFonts / "DejaVuSans.ttf").string();

// The face is made after the display opens (glyph textures need it) and goes before the interface.
class FontFaceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::filesystem::exists(kDejaVu)) << "fonts-dejavu-core is not installed";
        m_hge->System_SetState(HGE_TEXTUREFILTER, false);
        ASSERT_TRUE(m_hge->System_Initiate());
        m_library = std::make_unique<FontLibrary>();
        m_face = m_library->GetFace(kDejaVu);
        ASSERT_NE(m_face, nullptr);
        m_face->SetPixelSize(24, 24);
    }

    // The record of a character at the face's current size, made by measuring it.
    const Glyph& Made(char16_t character)
    {
        (void)m_face->MeasureWidth(std::u16string(1, character));
        const Glyph* glyph = m_face->FindGlyph(character);
        EXPECT_NE(glyph, nullptr) << static_cast<int>(character);
        static const Glyph s_none;
        return glyph != nullptr ? *glyph : s_none;
    }

    TestTools::HeadlessHge m_hge{{}, 64, 48};
    std::unique_ptr<FontLibrary> m_library;
    FontFace* m_face = nullptr;
};

TEST_F(FontFaceTest, GlyphsAreRecordedPerCharacterAndPixelSizeAndPairsAreKernedAtTheSizeInUse)
{
    const Glyph a = Made(u'A');
    const Glyph v = Made(u'V');
    EXPECT_EQ(Made(u' ').texture, 0u) << "a space has no pixels";
    EXPECT_EQ(m_face->MeasureWidth(u"AV"), a.advance - 1.0f + v.bitmapWidth);
    ASSERT_TRUE(m_face->DrawText(u"AV", 0, 30));
    EXPECT_EQ(m_face->GetPenX(), a.advance + v.advance - 1.0f);

    m_face->SetPixelSize(100, 100);
    const Glyph a100 = Made(u'A');
    EXPECT_GT(a100.advance, a.advance) << "the glyph was rasterised at the new size";
    m_face->SetPixelSize(24, 24);
    EXPECT_EQ(m_face->MeasureWidth(u"AV"), a.advance - 1.0f + v.bitmapWidth) << "cached glyphs, kerning at 24 pixels";
}

TEST_F(FontFaceTest, TabsAndLineBreaksMoveThePenAndCountInTheMeasures)
{
    const Glyph a = Made(u'A');
    const Glyph b = Made(u'B');
    const Glyph j = Made(u'j');
    const int tab = 4 * Made(u' ').advance;
    // A line feed returns to the margin, a vertical tab goes four lines down and keeps x.
    for (const auto& [text, x, y] : {std::tuple{u"A\tB", 5 + a.advance + tab + b.advance, 30},
                                     {u"A\nB", 5 + b.advance, 54},
                                     {u"A\vB", 5 + a.advance + b.advance, 30 + 4 * 24}}) {
        ASSERT_TRUE(m_face->DrawText(text, 5, 30));
        EXPECT_EQ(m_face->GetPenX(), static_cast<float>(x));
        EXPECT_EQ(m_face->GetPenY(), static_cast<float>(y));
    }
    // Measuring treats the text as one line; the break only ends the kerning pair.
    EXPECT_EQ(m_face->MeasureWidth(u"A\tB"), a.advance + tab + b.bitmapWidth);
    EXPECT_EQ(m_face->MeasureWidth(u"AB\t"), static_cast<float>(a.advance + b.advance + tab));
    EXPECT_EQ(m_face->MeasureWidth(u"A\nV"), a.advance + Made(u'V').bitmapWidth);

    EXPECT_EQ(m_face->MeasureHeight(u"Q"), 0.0f) << "measuring the height makes no glyphs";
    ASSERT_GT(j.bitmapHeight, a.bitmapHeight);
    EXPECT_EQ(m_face->MeasureHeight(u"Aj"), j.bitmapHeight);
    EXPECT_EQ(m_face->MeasureHeight(u"A\nA"), a.bitmapHeight + 24.0f);
    EXPECT_EQ(m_face->MeasureHeight(u"\v"), 96.0f);
}

TEST_F(FontFaceTest, CharactersAndSizesWithoutGlyphsAreSkippedAndReported)
{
    const Glyph a = Made(u'A');
    const Glyph v = Made(u'V');
    EXPECT_TRUE(m_face->DrawText(u"A V", 0, 30)) << "a space draws nothing and is no failure";
    // A missing glyph neither advances nor leaves a kerning pair. Surrogates are single units without glyphs.
    for (const std::u16string text : {u"A\u4E2DV", u"A\U0001F600V"}) {
        EXPECT_FALSE(m_face->DrawText(text, 0, 30));
        EXPECT_EQ(m_face->GetPenX(), static_cast<float>(a.advance + v.advance));
    }
    EXPECT_FALSE(m_face->DrawText(std::u16string(1, u'\0'), 0, 30)) << "character 0 is never made";

    for (float size : {0.0f, -24.0f, 5000.0f, std::numeric_limits<float>::quiet_NaN()}) {
        m_face->SetPixelSize(size, 24);
        EXPECT_FALSE(m_face->DrawText(u"B", 0, 30)) << size;
        EXPECT_EQ(m_face->MeasureWidth(u"B"), 0.0f) << size;
    }
    m_face->SetPixelSize(24, 24);
    EXPECT_TRUE(m_face->MakeGlyphs(u"A\tB\n"));
    EXPECT_FALSE(m_face->MakeGlyphs(u"\u4E2D"));
    EXPECT_TRUE(m_face->DrawText(u"AB", 0, 30)) << "a usable size works again";
}

TEST_F(FontFaceTest, DrawnGlyphsLandAtThePenOffsetByTheirBitmapInTheirColour)
{
    const Glyph i = Made(u'I');
    const TestTools::ScreenPicture drawn = TestTools::DrawFrame(m_hge.Get(), [&] {
        EXPECT_TRUE(m_face->DrawText(u"I", 10, 30));
        m_face->SetColor(0xFFFF0000);
        EXPECT_TRUE(m_face->DrawText(u"\vI", 30, -66)); // four lines down, on the same baseline
    });
    // The same glyph texture drawn as a plain sprite where the glyphs belong.
    hgeSprite glyph(i.texture, 0, 0, i.bitmapWidth, i.bitmapHeight);
    const TestTools::ScreenPicture expected = TestTools::DrawFrame(m_hge.Get(), [&] {
        glyph.Render(10 + i.bitmapLeft, 30 - i.bitmapTop);
        glyph.SetColor(0xFFFF0000);
        glyph.Render(30 + i.bitmapLeft, 30 - i.bitmapTop);
    });
    int mismatches = 0;
    for (int y = 0; y < drawn.Height(); ++y) {
        for (int x = 0; x < drawn.Width(); ++x)
            mismatches += drawn.At(x, y) != expected.At(x, y) ? 1 : 0;
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(drawn.BoxOf(0xFF0000)[4], 0) << "the red glyph has fully covered pixels";
}

// The files of the four variants, "-" for none.
std::vector<std::string> Variants(const AdvancedFont& font)
{
    std::vector<std::string> paths;
    for (FontVariant variant : {FontVariant::Regular, FontVariant::Bold, FontVariant::Italic, FontVariant::BoldItalic})
        paths.push_back(font.GetFace(variant) != nullptr ? font.GetFace(variant)->GetPath() : "-");
    return paths;
}

TEST(AdvancedFontTest, VariantsAreFoundByFileNameAndFacesAreSharedPerPath)
{
    TestTools::TempFolder folder;
    std::filesystem::create_directories(folder.Path() / "fonts");
    for (const auto& [dejaVu, name] : {std::pair{"DejaVuSerif.ttf", "serif.ttf"},
                                       {"DejaVuSerif-Bold.ttf", "serifbd.ttf"},
                                       {"DejaVuSerif-BoldItalic.ttf", "serifbi.ttf"},
                                       {"DejaVuSans.ttf", "шрифт.ttf"}})
        std::filesystem::copy_file(kFonts / dejaVu, folder.Path() / "fonts" / std::filesystem::u8path(name));
    std::ifstream whole(kFonts / "DejaVuSerif.ttf", std::ios::binary);
    folder.Write("fonts/serifi.ttf", std::string(std::istreambuf_iterator<char>(whole), {}).substr(0, 4096));
    folder.Write("fonts/serif.fnt", "[HGEFONT]\nChar=\"A\",0,0,8,8,0,0\n");
    folder.Write("fonts/bitmaponly.fnt", "[HGEFONT]\nChar=41,0,0,8,8,0,0\n");
    folder.Enter();
    TestTools::HeadlessHge hge;
    ASSERT_TRUE(hge->System_Initiate()) << "glyph textures need the display";
    FontLibrary library;
    AdvancedFont serif, unicodeName, bitmapOnly;
    serif.Load(u"serif", library);
    unicodeName.Load(u"шрифт", library);
    bitmapOnly.Load(u"bitmaponly", library);

    EXPECT_EQ(Variants(serif),
              (std::vector<std::string>{"fonts/serif.ttf", "fonts/serifbd.ttf", "-", "fonts/serifbi.ttf"}))
        << "the italic file is truncated";
    EXPECT_EQ(Variants(unicodeName), (std::vector<std::string>{"fonts/шрифт.ttf", "-", "-", "-"})) << "UTF-8 names";
    EXPECT_EQ(Variants(bitmapOnly), (std::vector<std::string>(4, "-")));
    EXPECT_EQ(library.GetFace(VEL_TEST_DATA "/not-a-font.ttf"), nullptr);
    EXPECT_EQ(library.GetFace(VEL_TEST_DATA "/bitmap-only.bdf"), nullptr) << "bitmap fonts cannot be scaled";
    // Each font reads its own bitmap font, empty when there is no .fnt file; text boxes always have one.
    for (const auto& [font, hasA] : {std::pair{&serif, true}, {&unicodeName, false}, {&bitmapOnly, true}}) {
        ASSERT_NE(font->GetBitmapFont(), nullptr);
        EXPECT_EQ(font->GetBitmapFont()->HasLetter('A'), hasA);
    }

    FontFace* regular = serif.GetFace(FontVariant::Regular);
    std::filesystem::copy_file(kFonts / "DejaVuSerif-Italic.ttf", "fonts/serifi.ttf",
                               std::filesystem::copy_options::overwrite_existing);
    {
        AdvancedFont second;
        second.Load(u"serif", library);
        EXPECT_EQ(second.GetFace(FontVariant::Regular), regular) << "one face per path";
        EXPECT_EQ(Variants(second)[2], "fonts/serifi.ttf") << "a failed file is not remembered as failed";
        EXPECT_NE(second.GetBitmapFont(), serif.GetBitmapFont());
    }
    // The faces belong to the library: the second font's end leaves them usable.
    regular->SetPixelSize(20, 20);
    EXPECT_GT(regular->MeasureWidth(u"AV"), 0.0f);
}

} // namespace
} // namespace Vel
