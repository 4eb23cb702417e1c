#include "resources/FontFace.h"
#include "resources/FontLibrary.h"

#include "AllocationCounter.h"
#include "HeadlessHge.h"
#include "TempFolder.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>

namespace Vel {
namespace {

using TestTools::AllocationScope;
using TestTools::HeadlessHge;
using TestTools::TempFolder;

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
        ASSERT_TRUE(m_library->IsReady());
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

    HeadlessHge m_hge{{}, 64, 48};
    std::unique_ptr<FontLibrary> m_library;
    FontFace* m_face = nullptr;
};

TEST_F(FontFaceTest, GlyphsAreRecordedOncePerCharacterAndPixelSize)
{
    const Glyph a24 = Made(u'A');
    EXPECT_EQ(a24.madeWidth, 24.0f);
    EXPECT_GT(a24.advance, 0);
    EXPECT_NE(a24.texture, 0u);
    EXPECT_GE(a24.textureWidth, a24.bitmapWidth);

    m_face->SetPixelSize(20, 20);
    const Glyph a20 = Made(u'A');
    EXPECT_LT(a20.advance, a24.advance) << "the glyph was rasterised at the new size";
    EXPECT_EQ(m_face->CountGlyphs(u'A'), 2u);

    m_face->SetPixelSize(24, 24);
    (void)m_face->MeasureWidth(u"AAA");
    EXPECT_EQ(m_face->CountGlyphs(u'A'), 2u) << "sizes seen before reuse their records";
    EXPECT_EQ(m_face->FindGlyph(u'A')->advance, a24.advance);

    const Glyph space = Made(u' ');
    EXPECT_EQ(space.texture, 0u) << "a space has no pixels";
    EXPECT_GT(space.advance, 0);
}

TEST_F(FontFaceTest, KerningOfAPairCountsWhenSwitchedOn)
{
    ASSERT_TRUE(m_face->HasKerning());
    const Glyph a = Made(u'A');
    const Glyph v = Made(u'V');
    EXPECT_EQ(m_face->MeasureWidth(u"AV"), static_cast<float>(a.advance) - 1.0f + v.bitmapWidth);
    EXPECT_EQ(m_face->MeasureWidth(u"VA"), static_cast<float>(v.advance) - 1.0f + a.bitmapWidth);

    ASSERT_TRUE(m_face->DrawText(u"AV", 0, 30));
    EXPECT_EQ(m_face->GetPenX(), static_cast<float>(a.advance + v.advance - 1));

    m_face->SetUseKerning(false);
    EXPECT_EQ(m_face->MeasureWidth(u"AV"), static_cast<float>(a.advance) + v.bitmapWidth);
    ASSERT_TRUE(m_face->DrawText(u"AV", 0, 30));
    EXPECT_EQ(m_face->GetPenX(), static_cast<float>(a.advance + v.advance));
}

TEST_F(FontFaceTest, KerningIsTakenAtTheSizeInUseAfterSwitchingSizes)
{
    const float width24 = m_face->MeasureWidth(u"AV");
    m_face->SetPixelSize(100, 100);
    const Glyph a100 = Made(u'A');
    const Glyph v100 = Made(u'V');
    EXPECT_LT(m_face->MeasureWidth(u"AV"), a100.advance - 1 + v100.bitmapWidth) << "kerning grows with the size";

    // Both glyphs come from the cache now; the kerning must still be that of 24 pixels.
    m_face->SetPixelSize(24, 24);
    EXPECT_EQ(m_face->MeasureWidth(u"AV"), width24);
}

TEST_F(FontFaceTest, TabsAndLineBreaksMoveThePen)
{
    const Glyph a = Made(u'A');
    const Glyph b = Made(u'B');
    const Glyph space = Made(u' ');

    EXPECT_EQ(m_face->MeasureWidth(u"A\tB"), static_cast<float>(a.advance + 4 * space.advance) + b.bitmapWidth);
    ASSERT_TRUE(m_face->DrawText(u"A\tB", 5, 30));
    EXPECT_EQ(m_face->GetPenX(), static_cast<float>(5 + a.advance + 4 * space.advance + b.advance));
    EXPECT_EQ(m_face->GetPenY(), 30.0f);

    ASSERT_TRUE(m_face->DrawText(u"A\nB", 5, 30));
    EXPECT_EQ(m_face->GetPenX(), static_cast<float>(5 + b.advance)) << "a line feed returns to the margin";
    EXPECT_EQ(m_face->GetPenY(), 54.0f);

    ASSERT_TRUE(m_face->DrawText(u"A\vB", 5, 30));
    EXPECT_EQ(m_face->GetPenX(), static_cast<float>(5 + a.advance + b.advance)) << "a vertical tab keeps x";
    EXPECT_EQ(m_face->GetPenY(), 30.0f + 4 * 24.0f);

    // Measuring treats the text as one line; the break only ends the kerning pair.
    EXPECT_EQ(m_face->MeasureWidth(u"A\nV"), static_cast<float>(a.advance) + Made(u'V').bitmapWidth);
    EXPECT_EQ(m_face->MeasureWidth(u"AB\t"), static_cast<float>(a.advance + b.advance + 4 * space.advance));
    EXPECT_EQ(m_face->MeasureWidth(u""), 0.0f);
}

TEST_F(FontFaceTest, HeightCountsLinesAndTheTallestMadeGlyph)
{
    EXPECT_EQ(m_face->MeasureHeight(u"Q"), 0.0f) << "measuring the height makes no glyphs";
    EXPECT_EQ(m_face->CountGlyphs(u'Q'), 0u);

    const Glyph a = Made(u'A');
    const Glyph j = Made(u'j');
    ASSERT_GT(j.bitmapHeight, a.bitmapHeight);
    EXPECT_EQ(m_face->MeasureHeight(u"A"), a.bitmapHeight);
    EXPECT_EQ(m_face->MeasureHeight(u"Aj"), j.bitmapHeight);
    EXPECT_EQ(m_face->MeasureHeight(u"A\nA"), a.bitmapHeight + 24.0f);
    EXPECT_EQ(m_face->MeasureHeight(u"\v"), 96.0f);
    EXPECT_EQ(m_face->MeasureHeight(u""), 0.0f);
}

TEST_F(FontFaceTest, CharactersTheFaceLacksAreSkippedAndReported)
{
    const Glyph a = Made(u'A');
    const Glyph v = Made(u'V');
    EXPECT_TRUE(m_face->DrawText(u"A V", 0, 30)) << "a space draws nothing and is no failure";

    EXPECT_FALSE(m_face->DrawText(u"A\u4E2DV", 0, 30));
    EXPECT_EQ(m_face->GetPenX(), static_cast<float>(a.advance + v.advance))
        << "the missing glyph neither advances nor leaves a kerning pair";
    EXPECT_EQ(m_face->CountGlyphs(u'\u4E2D'), 0u) << "failures are not recorded";

    // Surrogates are single units without glyphs: the pair of U+1F600 and lone halves alike.
    EXPECT_FALSE(m_face->DrawText(u"A\U0001F600V", 0, 30));
    EXPECT_EQ(m_face->GetPenX(), static_cast<float>(a.advance + v.advance));
    const char16_t lone[] = {0xD83D, u'A', 0xDE00, 0};
    EXPECT_FALSE(m_face->DrawText(lone, 0, 30));
    EXPECT_EQ(m_face->MeasureWidth(lone), static_cast<float>(a.advance)) << "the last unit has no glyph";
    EXPECT_FALSE(m_face->DrawText(std::u16string(1, u'\0'), 0, 30)) << "character 0 is never made";
}

TEST_F(FontFaceTest, UnusablePixelSizesMakeNoGlyphs)
{
    for (float size : {0.0f, -24.0f, 5000.0f, std::numeric_limits<float>::quiet_NaN()}) {
        m_face->SetPixelSize(size, 24);
        EXPECT_FALSE(m_face->DrawText(u"A", 0, 30)) << size;
        EXPECT_EQ(m_face->MeasureWidth(u"A"), 0.0f) << size;
    }
    EXPECT_EQ(m_face->CountGlyphs(u'A'), 0u);
    m_face->SetPixelSize(24, 24);
    EXPECT_TRUE(m_face->DrawText(u"A", 0, 30)) << "a usable size works again";
}

TEST_F(FontFaceTest, WithoutLoadOnUseOnlyPreparedGlyphsAreUsed)
{
    m_face->SetLoadOnUse(false);
    EXPECT_FALSE(m_face->DrawText(u"AB", 0, 30));
    EXPECT_EQ(m_face->MeasureWidth(u"AB"), 0.0f);
    EXPECT_EQ(m_face->CountGlyphs(u'A'), 0u);

    EXPECT_TRUE(m_face->MakeGlyphs(u"A\tB\n"));
    EXPECT_FALSE(m_face->MakeGlyphs(u"\u4E2D"));
    EXPECT_TRUE(m_face->DrawText(u"AB", 0, 30));
    EXPECT_GT(m_face->MeasureWidth(u"AB"), 0.0f);
}

struct SurfaceDeleter
{
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

Surface Snapshot(HeadlessHge& hge, const TempFolder& folder)
{
    const std::string file = folder.File("shot.bmp");
    EXPECT_TRUE(hge->System_Snapshot(file.c_str()));
    Surface picture(SDL_LoadBMP(file.c_str()));
    return Surface(picture ? SDL_ConvertSurfaceFormat(picture.get(), SDL_PIXELFORMAT_ARGB8888, 0) : nullptr);
}

std::uint32_t PixelAt(const Surface& picture, int x, int y)
{
    const auto* row = static_cast<const std::uint8_t*>(picture->pixels) + y * picture->pitch;
    return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
}

// Every screen pixel of the glyph's box shows its coverage over black, in the colour drawn; the ring round the box
// stays black.
void ExpectGlyphAt(HeadlessHge& hge, const Surface& picture, const Glyph& glyph, int left, int top,
                   std::uint32_t colour)
{
    ASSERT_NE(picture, nullptr);
    const std::uint32_t* texels = hge->Texture_Lock(glyph.texture, true);
    ASSERT_NE(texels, nullptr);
    const int width = static_cast<int>(glyph.bitmapWidth);
    const int height = static_cast<int>(glyph.bitmapHeight);
    const int pitch = static_cast<int>(glyph.textureWidth);
    int mismatches = 0;
    int opaque = 0;
    for (int y = -1; y <= height; ++y) {
        for (int x = -1; x <= width; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < width && y < height;
            const std::uint32_t alpha = inside ? texels[y * pitch + x] >> 24 : 0;
            opaque += alpha == 0xFF ? 1 : 0;
            const std::uint32_t actual = PixelAt(picture, left + x, top + y);
            for (int shift : {0, 8, 16}) {
                const int expected = static_cast<int>(((colour >> shift) & 0xFF) * alpha / 255);
                mismatches += std::abs(static_cast<int>((actual >> shift) & 0xFF) - expected) > 2 ? 1 : 0;
            }
        }
    }
    hge->Texture_Unlock(glyph.texture);
    EXPECT_GT(opaque, 0);
    EXPECT_EQ(mismatches, 0);
}

TEST_F(FontFaceTest, DrawnGlyphsLandAtThePenOffsetByTheirBitmap)
{
    TempFolder folder;
    const Glyph i = Made(u'I');
    ASSERT_TRUE(m_hge->Gfx_BeginScene());
    m_hge->Gfx_Clear(0xFF000000);
    EXPECT_TRUE(m_face->DrawText(u"I", 10, 30));
    m_face->SetColor(0xFFFF0000);
    EXPECT_TRUE(m_face->DrawText(u"\vI", 30, -66));
    m_hge->Gfx_EndScene();

    const Surface picture = Snapshot(m_hge, folder);
    const int top = 30 - static_cast<int>(i.bitmapTop);
    ExpectGlyphAt(m_hge, picture, i, 10 + static_cast<int>(i.bitmapLeft), top, 0xFFFFFF);
    ExpectGlyphAt(m_hge, picture, i, 30 + static_cast<int>(i.bitmapLeft), top, 0xFF0000);
}

TEST_F(FontFaceTest, DrawingKnownGlyphsAllocatesNothing)
{
    const std::u16string text = u"Velloria\tAV\nglyphs";
    ASSERT_TRUE(m_hge->Gfx_BeginScene());
    ASSERT_TRUE(m_face->DrawText(text, 2, 20));
    std::size_t allocations = 0;
    for (int frame = 0; frame < 5; ++frame) {
        AllocationScope scope;
        m_face->DrawText(text, 2, 20);
        (void)m_face->MeasureWidth(text);
        (void)m_face->MeasureHeight(text);
        allocations += scope.Allocations();
    }
    m_hge->Gfx_EndScene();
    EXPECT_EQ(allocations, 0u);
}

TEST(FontLibraryTest, FacesAreSharedPerPathAndUnusableFilesGiveNothing)
{
    TempFolder folder;
    HeadlessHge hge;
    FontLibrary library;
    ASSERT_TRUE(library.IsReady());

    FontFace* face = library.GetFace(kDejaVu);
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(library.GetFace(kDejaVu), face);
    EXPECT_EQ(face->GetPath(), kDejaVu);
    EXPECT_EQ(face->GetPixelWidth(), 32.0f);

    const std::string later = folder.File("later.ttf");
    EXPECT_EQ(library.GetFace(later), nullptr);
    std::filesystem::copy_file(kDejaVu, later);
    FontFace* copy = library.GetFace(later);
    EXPECT_NE(copy, nullptr) << "a missing file is not remembered as missing";
    EXPECT_NE(copy, face) << "faces are per path";

    std::ifstream whole(kDejaVu, std::ios::binary);
    std::string head(4096, '\0');
    whole.read(head.data(), static_cast<std::streamsize>(head.size()));
    folder.Write("truncated.ttf", head);
    EXPECT_EQ(library.GetFace(folder.File("truncated.ttf")), nullptr);
    EXPECT_EQ(library.GetFace(VEL_TEST_DATA "/not-a-font.ttf"), nullptr);
    EXPECT_EQ(library.GetFace(VEL_TEST_DATA "/bitmap-only.bdf"), nullptr) << "bitmap fonts cannot be scaled";
}

} // namespace
} // namespace Vel
