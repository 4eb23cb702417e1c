#include "resources/FontFace.h"
#include "resources/AdvancedFont.h"
#include "resources/FontLibrary.h"
#include "resources/hgeFont.h"

#include "HeadlessHge.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
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

// The engine draws numbers only, so characters without glyphs never reach a face; a style's size may be anything.
TEST_F(FontFaceTest, SizesWithoutGlyphsDrawAndMeasureNothingUntilAUsableSizeComesBack)
{
    EXPECT_TRUE(m_face->DrawText(u"A V", 0, 30)) << "a space draws nothing and is no failure";
    for (float size : {0.0f, -24.0f, 5000.0f, std::numeric_limits<float>::quiet_NaN()}) {
        m_face->SetPixelSize(size, 24);
        EXPECT_FALSE(m_face->DrawText(u"B", 0, 30)) << size;
        EXPECT_EQ(m_face->MeasureWidth(u"B"), 0.0f) << size;
        EXPECT_FALSE(m_face->MakeGlyphs(u"0")) << size;
    }
    m_face->SetPixelSize(24, 24);
    EXPECT_TRUE(m_face->MakeGlyphs(u"0"));
    EXPECT_TRUE(m_face->DrawText(u"AB", 0, 30)) << "a usable size works again";
}

// Only the regular face is drawn; a truncated file, a file that is no font and a bitmap-only font give none.
TEST(AdvancedFontTest, TheFaceIsFoundByFileNameAndSharedPerPathAndEachFontReadsItsBitmapFont)
{
    TestTools::TempFolder folder;
    std::filesystem::create_directories(folder.Path() / "fonts");
    std::filesystem::copy_file(kFonts / "DejaVuSerif.ttf", folder.Path() / "fonts/serif.ttf");
    std::filesystem::copy_file(kFonts / "DejaVuSans.ttf",
                               folder.Path() / "fonts" / std::filesystem::u8path("шрифт.ttf"));
    folder.Write("fonts/cut.ttf", folder.Read((kFonts / "DejaVuSerif.ttf").string()).substr(0, 4096));
    folder.Write("fonts/serif.fnt", "[HGEFONT]\nChar=\"A\",0,0,8,8,0,0\n");
    folder.Write("fonts/bitmaponly.fnt", "[HGEFONT]\nChar=41,0,0,8,8,0,0\n");
    folder.Enter();
    TestTools::HeadlessHge hge;
    ASSERT_TRUE(hge->System_Initiate()) << "glyph textures need the display";
    FontLibrary library;
    AdvancedFont serif, unicodeName, cut, bitmapOnly;
    std::vector<std::string> found;
    for (const auto& [font, name, hasA] : {std::tuple{&serif, u"serif", true},
                                           {&unicodeName, u"шрифт", false},
                                           {&cut, u"cut", false},
                                           {&bitmapOnly, u"bitmaponly", true}}) {
        font->Load(name, u"", library);
        const FontFace* face = font->GetFace(FontVariant::Regular);
        found.push_back(face != nullptr ? face->GetPath() : "-");
        // Text boxes always have a bitmap font, empty when there is no .fnt file.
        ASSERT_NE(font->GetBitmapFont(), nullptr);
        EXPECT_EQ(font->GetBitmapFont()->HasLetter('A'), hasA);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"fonts/serif.ttf", "fonts/шрифт.ttf", "-", "-"}));
    EXPECT_EQ(library.GetFace(VEL_TEST_DATA "/not-a-font.ttf"), nullptr);
    EXPECT_EQ(library.GetFace(VEL_TEST_DATA "/bitmap-only.bdf"), nullptr) << "bitmap fonts cannot be scaled";

    FontFace* regular = serif.GetFace(FontVariant::Regular);
    {
        AdvancedFont second;
        second.Load(u"serif", u"", library);
        EXPECT_EQ(second.GetFace(FontVariant::Regular), regular) << "one face per path";
        EXPECT_NE(second.GetBitmapFont(), serif.GetBitmapFont());
    }
    // The faces belong to the library: the second font's end leaves them usable.
    regular->SetPixelSize(20, 20);
    EXPECT_GT(regular->MeasureWidth(u"AV"), 0.0f);
}

} // namespace
} // namespace Vel
