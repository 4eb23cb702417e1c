#include "HeadlessHge.h"
#include "ScreenPicture.h"

#include "resources/hgeSprite.h"

#include <gtest/gtest.h>

#include <numbers>

namespace Vel {
namespace {

using TestTools::HeadlessHge;
using TestTools::QuadrantTexture;
using TestTools::ScreenPicture;

constexpr std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0;

class hgeSpriteTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_hge->System_Initiate());
        m_texture = QuadrantTexture(m_hge.Get(), 32);
        ASSERT_NE(m_texture, 0u);
    }
    void BeginFrame(std::uint32_t background = 0xFF000000)
    {
        ASSERT_TRUE(m_hge->Gfx_BeginScene());
        m_hge->Gfx_Clear(background);
    }
    // Ends the frame and reads the screen back.
    ScreenPicture EndFrame()
    {
        m_hge->Gfx_EndScene();
        return ScreenPicture(m_hge.Get());
    }
    // The picture of the quadrant texture at (left, top)-(right, bottom), one sample well inside each quadrant
    // and one just outside each side.
    static void ExpectQuadrants(const ScreenPicture& picture, int left, int top, int right, int bottom,
                                const std::uint32_t (&colours)[4])
    {
        EXPECT_TRUE(picture.Is(left + 2, top + 2, colours[0]));
        EXPECT_TRUE(picture.Is(right - 3, top + 2, colours[1]));
        EXPECT_TRUE(picture.Is(right - 3, bottom - 3, colours[2]));
        EXPECT_TRUE(picture.Is(left + 2, bottom - 3, colours[3]));
        const int midX = (left + right) / 2, midY = (top + bottom) / 2;
        EXPECT_TRUE(picture.Is(left - 2, midY, kBlack));
        EXPECT_TRUE(picture.Is(right + 1, midY, kBlack));
        EXPECT_TRUE(picture.Is(midX, top - 2, kBlack));
        EXPECT_TRUE(picture.Is(midX, bottom + 1, kBlack));
    }

    HeadlessHge m_hge{{}, 160, 120};
    HTEXTURE m_texture = 0;
};

constexpr std::uint32_t kUpright[4] = {kRed, kGreen, kWhite, kBlue}; // clockwise from the top left

TEST_F(hgeSpriteTest, PositionZoomAndHotSpotGiveTheCoveredRectangle)
{
    hgeSprite sprite(m_texture, 0, 0, 32, 32);
    EXPECT_EQ(sprite.GetWidth(), 32.0f);
    EXPECT_EQ(sprite.GetColor(), 0xFFFFFFFFu);
    EXPECT_EQ(sprite.GetBlendMode(), BLEND_DEFAULT);
    EXPECT_EQ(sprite.GetQuad().v[2].tx, 1.0f);

    BeginFrame();
    sprite.Render(10, 10);
    sprite.RenderEx(60, 10, 0.0f, 2.0f); // vscale 0: both axes doubled
    ScreenPicture plain = EndFrame();
    ExpectQuadrants(plain, 10, 10, 42, 42, kUpright);
    ExpectQuadrants(plain, 60, 10, 124, 74, kUpright);

    BeginFrame();
    sprite.SetHotSpot(16, 16);
    sprite.RenderEx(30, 40, 0.0f, 1.0f, 0.5f);
    sprite.RenderEx(100, 60, 0.0f, 2.0f, 1.0f);
    ScreenPicture hotSpot = EndFrame();
    ExpectQuadrants(hotSpot, 14, 32, 46, 48, kUpright);
    ExpectQuadrants(hotSpot, 68, 44, 132, 76, kUpright);
}

TEST_F(hgeSpriteTest, RotationTurnsAboutTheHotSpotAndStretchIgnoresIt)
{
    hgeSprite sprite(m_texture, 0, 0, 32, 32);
    sprite.SetHotSpot(16, 16);
    BeginFrame();
    sprite.RenderEx(40, 40, std::numbers::pi_v<float> / 2.0f, 1.0f);
    const hgeQuad rotated = sprite.GetQuad();
    sprite.RenderStretch(70, 10, 150, 30);
    ScreenPicture picture = EndFrame();

    // A quarter turn clockwise on screen: the top left corner goes to the top right.
    EXPECT_NEAR(rotated.v[0].x, 56.0f, 1e-4f);
    EXPECT_NEAR(rotated.v[0].y, 24.0f, 1e-4f);
    EXPECT_NEAR(rotated.v[2].x, 24.0f, 1e-4f);
    EXPECT_NEAR(rotated.v[2].y, 56.0f, 1e-4f);
    ExpectQuadrants(picture, 24, 24, 56, 56, {kBlue, kRed, kGreen, kWhite});

    const hgeQuad& stretched = sprite.GetQuad();
    EXPECT_EQ(stretched.v[0].x, 70.0f);
    EXPECT_EQ(stretched.v[2].y, 30.0f);
    ExpectQuadrants(picture, 70, 10, 150, 30, kUpright);
}

TEST_F(hgeSpriteTest, VertexColourAndBlendModeMixWithTheBackground)
{
    hgeSprite red(m_texture, 0, 0, 16, 16);
    red.SetColor(0x7F000000);
    red.SetBlendMode(BLEND_COLORADD | BLEND_ALPHABLEND);
    hgeSprite tinted(m_texture, 16, 16, 16, 16); // white
    tinted.SetColor(0xFF00FF00);
    tinted.SetColor(0xFFFF0000, 2);
    EXPECT_EQ(tinted.GetColor(0), 0xFF00FF00u);
    EXPECT_EQ(tinted.GetColor(2), 0xFFFF0000u);
    tinted.SetColor(0xFF00FF00, 2);
    tinted.SetColor(0xFFFF0000, 7); // no such corner
    EXPECT_EQ(tinted.GetColor(2), 0xFF00FF00u);

    BeginFrame(0xFF0000FF);
    red.Render(20, 20);
    tinted.Render(60, 20);
    ScreenPicture picture = EndFrame();
    // Half of the texture's red (alpha 127) over the blue background.
    EXPECT_TRUE(picture.Is(28, 28, 0x7F0080));
    EXPECT_TRUE(picture.Is(68, 28, kGreen));
    EXPECT_TRUE(picture.Is(40, 28, kBlue));
}

TEST_F(hgeSpriteTest, TextureRectanglesFollowTextureSizeRectAndFlips)
{
    const HTEXTURE large = QuadrantTexture(m_hge.Get(), 64);
    hgeSprite sprite(m_texture, 16, 0, 16, 16); // the green quadrant
    sprite.SetTexture(large);                   // the same pixels of a larger texture are red
    EXPECT_EQ(sprite.GetQuad().v[0].tx, 0.25f);
    EXPECT_EQ(sprite.GetQuad().v[2].tx, 0.5f);
    EXPECT_EQ(sprite.GetQuad().v[2].ty, 0.25f);
    EXPECT_EQ(sprite.GetTexture(), large);

    hgeSprite whole(large, 0, 0, 16, 16);
    whole.SetTextureRect(0, 0, 64, 64, false); // the whole texture squeezed into the old size
    EXPECT_EQ(whole.GetWidth(), 16.0f);
    EXPECT_EQ(whole.GetQuad().v[2].tx, 1.0f);
    hgeSprite corner(large, 0, 0, 16, 16);
    corner.SetTextureRect(40, 40, 20, 20); // white, and the size follows
    EXPECT_EQ(corner.GetWidth(), 20.0f);

    hgeSprite flipped(m_texture, 0, 0, 32, 32);
    flipped.SetFlip(true, false);
    EXPECT_EQ(flipped.GetQuad().v[0].tx, 1.0f);
    flipped.SetTextureRect(0, 0, 16, 32); // the flip stays on the new rectangle
    EXPECT_EQ(flipped.GetQuad().v[0].tx, 0.5f);
    EXPECT_EQ(flipped.GetQuad().v[1].tx, 0.0f);

    BeginFrame();
    sprite.Render(10, 10);
    whole.Render(40, 10);
    corner.Render(70, 10);
    flipped.Render(100, 10);
    ScreenPicture picture = EndFrame();
    EXPECT_TRUE(picture.Is(18, 18, kRed));
    ExpectQuadrants(picture, 40, 10, 56, 26, kUpright);
    EXPECT_TRUE(picture.Is(80, 20, kWhite));
    EXPECT_TRUE(picture.Is(108, 12, kRed)); // left half of the texture, mirrored
    EXPECT_TRUE(picture.Is(108, 38, kBlue));
    EXPECT_TRUE(picture.Is(120, 20, kBlack)); // 16 wide now

    // Without a texture, coordinates are texture pixels over a 1 x 1 texture.
    sprite.SetTexture(0);
    EXPECT_EQ(sprite.GetQuad().v[0].tx, 16.0f);
    EXPECT_EQ(sprite.GetQuad().v[2].ty, 16.0f);
}

TEST_F(hgeSpriteTest, FlippedHotSpotMirrorsTheAnchorAndCopiesAreIndependent)
{
    hgeSprite sprite(m_texture, 0, 0, 32, 32);
    sprite.SetHotSpot(8, 4);
    sprite.SetFlip(true, true, true);
    sprite.Render(100, 100);
    EXPECT_EQ(sprite.GetQuad().v[0].x, 100.0f - 24.0f);
    EXPECT_EQ(sprite.GetQuad().v[0].y, 100.0f - 28.0f);
    sprite.SetFlip(true, true, false);
    sprite.Render(100, 100);
    EXPECT_EQ(sprite.GetQuad().v[0].x, 100.0f - 8.0f);

    hgeSprite copy(sprite);
    copy.SetColor(0xFF123456);
    EXPECT_EQ(sprite.GetColor(), 0xFFFFFFFFu);
    EXPECT_EQ(copy.GetHotSpotX(), 8.0f);
    sprite = copy;
    EXPECT_EQ(sprite.GetColor(), 0xFF123456u);
}

} // namespace
} // namespace Vel
