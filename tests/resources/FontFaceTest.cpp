#include "resources/FontFace.h"
#include "resources/FontLibrary.h"
#include "resources/hgeSprite.h"

#include "HeadlessHge.h"
#include "ScreenPicture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <memory>
#include <tuple>

namespace Vel {
namespace {

const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

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
    ASSERT_TRUE(m_face->HasKerning());
    const Glyph a = Made(u'A');
    const Glyph v = Made(u'V');
    EXPECT_EQ(Made(u' ').texture, 0u) << "a space has no pixels";
    EXPECT_EQ(m_face->MeasureWidth(u"AV"), a.advance - 1.0f + v.bitmapWidth);
    ASSERT_TRUE(m_face->DrawText(u"AV", 0, 30));
    EXPECT_EQ(m_face->GetPenX(), a.advance + v.advance - 1.0f);

    m_face->SetPixelSize(100, 100);
    const Glyph a100 = Made(u'A');
    EXPECT_GT(a100.advance, a.advance) << "the glyph was rasterised at the new size";
    EXPECT_LT(m_face->MeasureWidth(u"AV"), a100.advance - 1.0f + Made(u'V').bitmapWidth) << "kerning grows";
    m_face->SetPixelSize(24, 24);
    EXPECT_EQ(m_face->MeasureWidth(u"AV"), a.advance - 1.0f + v.bitmapWidth) << "cached glyphs, kerning at 24 pixels";
    EXPECT_EQ(m_face->CountGlyphs(u'A'), 2u) << "sizes seen before reuse their records";

    m_face->SetUseKerning(false);
    EXPECT_EQ(m_face->MeasureWidth(u"AV"), a.advance + v.bitmapWidth);
    ASSERT_TRUE(m_face->DrawText(u"AV", 0, 30));
    EXPECT_EQ(m_face->GetPenX(), static_cast<float>(a.advance + v.advance));
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
    EXPECT_EQ(m_face->MeasureWidth(u""), 0.0f);

    EXPECT_EQ(m_face->MeasureHeight(u"Q"), 0.0f) << "measuring the height makes no glyphs";
    ASSERT_GT(j.bitmapHeight, a.bitmapHeight);
    EXPECT_EQ(m_face->MeasureHeight(u"A"), a.bitmapHeight);
    EXPECT_EQ(m_face->MeasureHeight(u"Aj"), j.bitmapHeight);
    EXPECT_EQ(m_face->MeasureHeight(u"A\nA"), a.bitmapHeight + 24.0f);
    EXPECT_EQ(m_face->MeasureHeight(u"\v"), 96.0f);
    EXPECT_EQ(m_face->MeasureHeight(u""), 0.0f);
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
    EXPECT_EQ(m_face->CountGlyphs(u'\u4E2D'), 0u) << "failures are not recorded";
    const char16_t lone[] = {0xD83D, u'A', 0xDE00, 0};
    EXPECT_FALSE(m_face->DrawText(lone, 0, 30));
    EXPECT_EQ(m_face->MeasureWidth(lone), static_cast<float>(a.advance)) << "the last unit has no glyph";
    EXPECT_FALSE(m_face->DrawText(std::u16string(1, u'\0'), 0, 30)) << "character 0 is never made";

    for (float size : {0.0f, -24.0f, 5000.0f, std::numeric_limits<float>::quiet_NaN()}) {
        m_face->SetPixelSize(size, 24);
        EXPECT_FALSE(m_face->DrawText(u"B", 0, 30)) << size;
        EXPECT_EQ(m_face->MeasureWidth(u"B"), 0.0f) << size;
    }
    EXPECT_EQ(m_face->CountGlyphs(u'B'), 0u);
    m_face->SetPixelSize(24, 24);
    m_face->SetLoadOnUse(false); // only glyphs made beforehand are used
    EXPECT_FALSE(m_face->DrawText(u"B", 0, 30));
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

} // namespace
} // namespace Vel
