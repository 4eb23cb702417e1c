#include "resources/GlyphAtlas.h"

#include "HeadlessHge.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace Vel {
namespace {

// More glyphs than a page holds: the atlas grows by pages, no two glyphs share a pixel, each keeps its own coverage,
// and a glyph larger than a page is refused rather than cut.
TEST(GlyphAtlasTest, GrowsByPagesWithoutOverlapAndKeepsEachGlyphsCoverage)
{
    TestTools::HeadlessHge hge;
    ASSERT_TRUE(hge->System_Initiate());
    { // the atlas frees its pages before the display closes
        GlyphAtlas atlas;
        constexpr int kSide = 40;
        constexpr std::uint32_t kGlyphs = 200; // 12 x 12 to a page of 512 with the padding
        std::vector<unsigned char> coverage(kSide * kSide);
        for (std::uint32_t index = 0; index < kGlyphs; ++index) {
            std::fill(coverage.begin(), coverage.end(), static_cast<unsigned char>(index));
            ASSERT_NE(atlas.Add(index, {coverage.data(), kSide, kSide, kSide}, 1.0f, 2.0f), nullptr);
        }
        EXPECT_EQ(atlas.GetPageCount(), 2u);
        for (std::uint32_t index = 0; index < kGlyphs; ++index) {
            const AtlasGlyph* glyph = atlas.Find(index);
            ASSERT_NE(glyph, nullptr);
            const std::uint32_t* pixels = hge->Texture_Lock(glyph->texture);
            const int pitch = hge->Texture_GetWidth(glyph->texture);
            const auto at = [&](float x, float y) { return pixels[static_cast<int>(y) * pitch + static_cast<int>(x)]; };
            EXPECT_EQ(at(glyph->u, glyph->v) >> 24, index);
            EXPECT_EQ(at(glyph->u + kSide - 1, glyph->v + kSide - 1) >> 24, index);
            hge->Texture_Unlock(glyph->texture);
        }
        std::vector<unsigned char> huge(600 * 10);
        EXPECT_EQ(atlas.Add(999, {huge.data(), 600, 10, 600}, 0.0f, 0.0f), nullptr);
    }
}

} // namespace
} // namespace Vel
