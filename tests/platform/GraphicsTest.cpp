#include "HeadlessHge.h"
#include "TempFolder.h"

#include <SDL.h>
#include <SDL_image.h>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace Vel {
namespace {

using TestTools::HeadlessHge;
using TestTools::TempFolder;

struct SurfaceDeleter
{
    void operator()(SDL_Surface* surface) const { SDL_FreeSurface(surface); }
};
using Surface = std::unique_ptr<SDL_Surface, SurfaceDeleter>;

// Saves what is on screen and loads it back, the way a player's screenshot would be seen.
Surface Snapshot(HeadlessHge& hge, const TempFolder& folder)
{
    const std::string file = folder.File("shot.bmp");
    EXPECT_TRUE(hge->System_Snapshot(file.c_str()));
    Surface picture(SDL_LoadBMP(file.c_str()));
    EXPECT_NE(picture, nullptr) << SDL_GetError();
    return Surface(picture ? SDL_ConvertSurfaceFormat(picture.get(), SDL_PIXELFORMAT_ARGB8888, 0) : nullptr);
}

// Expects the pixel at (x, y) to be 0xRRGGBB, give or take rounding.
void ExpectPixel(const Surface& picture, int x, int y, std::uint32_t expected, const char* what)
{
    ASSERT_NE(picture, nullptr);
    const auto* row = static_cast<const std::uint8_t*>(picture->pixels) + y * picture->pitch;
    const std::uint32_t actual = reinterpret_cast<const std::uint32_t*>(row)[x];
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(static_cast<int>((actual >> shift) & 0xFF), static_cast<int>((expected >> shift) & 0xFF), 2)
            << what << std::hex << ": got " << actual << ", expected " << expected;
}

hgeQuad Rectangle(float x0, float y0, float x1, float y1, std::uint32_t color, HTEXTURE tex = 0,
                  int blend = BLEND_DEFAULT)
{
    hgeQuad quad{{}, tex, blend};
    for (int i = 0; i < 4; ++i) {
        const bool right = i == 1 || i == 2;
        quad.v[i] = {right ? x1 : x0, i >= 2 ? y1 : y0, 0.5f, color, right ? 1.0f : 0.0f, i >= 2 ? 1.0f : 0.0f};
    }
    return quad;
}

HTEXTURE SolidTexture(HGE* hge, int w, int h, std::uint32_t argb)
{
    HTEXTURE tex = hge->Texture_Create(w, h);
    std::uint32_t* pixels = hge->Texture_Lock(tex, false);
    for (int i = 0; pixels != nullptr && i < w * h; ++i)
        pixels[i] = argb;
    hge->Texture_Unlock(tex);
    return tex;
}

TEST(GraphicsTest, TargetsQuadsAndBlendModesReachTheSnapshot)
{
    TempFolder folder;
    HeadlessHge hge({}, 64, 48);
    ASSERT_TRUE(hge->System_Initiate());

    HTARGET target = hge->Target_Create(32, 32, false);
    ASSERT_NE(target, 0u);
    ASSERT_TRUE(hge->Gfx_BeginScene(target));
    hge->Gfx_Clear(0xFF0000FF);
    hgeQuad red = Rectangle(0, 0, 16, 16, 0xFFFF0000);
    hge->Gfx_RenderQuad(&red);
    hge->Gfx_EndScene();

    HTEXTURE yellow = SolidTexture(hge.Get(), 8, 8, 0xFFFFFF00);
    HTEXTURE tint = SolidTexture(hge.Get(), 8, 8, 0xFF336699);
    ASSERT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(0xFF00FF00);
    hgeQuad copy = Rectangle(32, 0, 64, 32, 0xFFFFFFFF, hge->Target_GetTexture(target));
    hgeQuad halfYellow = Rectangle(0, 32, 16, 48, 0x80FFFFFF, yellow);
    hgeQuad colorAdd = Rectangle(16, 32, 32, 48, 0xFF000000, tint, BLEND_COLORADD | BLEND_ALPHABLEND);
    hgeQuad added = Rectangle(48, 32, 64, 48, 0xFF400000, 0, BLEND_COLORMUL | BLEND_ALPHAADD);
    for (const hgeQuad* quad : {&copy, &halfYellow, &colorAdd, &added})
        hge->Gfx_RenderQuad(quad);
    hge->Gfx_EndScene();

    const Surface picture = Snapshot(hge, folder);
    ExpectPixel(picture, 8, 8, 0x00FF00, "screen clear");
    ExpectPixel(picture, 38, 6, 0xFF0000, "quad in the target");
    ExpectPixel(picture, 56, 24, 0x0000FF, "target clear");
    ExpectPixel(picture, 8, 40, 0x80FF00, "half-transparent texture");
    ExpectPixel(picture, 24, 40, 0x336699, "colour add with black");
    ExpectPixel(picture, 56, 40, 0x40FF00, "alpha add");
}

TEST(GraphicsTest, LockedPixelsReachTheScreenAndStaleHandlesAreRefused)
{
    HeadlessHge hge({}, 16, 16);
    EXPECT_EQ(hge->Texture_Create(4, 4), 0u) << "nothing is drawn before the display is open";
    ASSERT_TRUE(hge->System_Initiate());
    HTEXTURE tex = hge->Texture_Create(4, 4);
    ASSERT_NE(hge->Texture_Lock(tex, true), nullptr);
    EXPECT_EQ(hge->Texture_Lock(tex), nullptr) << "already locked";
    hge->Texture_Unlock(tex);
    EXPECT_EQ(hge->Texture_Lock(tex, true, 3, 3, 2, 2), nullptr) << "rectangle outside the texture";
    std::uint32_t* part = hge->Texture_Lock(tex, false, 1, 2, 2, 2);
    ASSERT_NE(part, nullptr);
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 2; ++col)
            part[row * 4 + col] = 0xFF102030u + static_cast<std::uint32_t>(row * 2 + col);
    hge->Texture_Unlock(tex);

    // The rectangle reaches the screen on unlock: the 4x4 texture stretched over the 16x16 screen without filtering.
    hge->System_SetState(HGE_TEXTUREFILTER, false);
    EXPECT_FALSE(hge->Gfx_BeginScene(12345));
    ASSERT_TRUE(hge->Gfx_BeginScene());
    EXPECT_FALSE(hge->Gfx_BeginScene()) << "a second scene while one is open";
    hgeQuad quad = Rectangle(0, 0, 16, 16, 0xFFFFFFFF, tex, BLEND_COLORMUL | BLEND_ALPHABLEND);
    hge->Gfx_RenderQuad(&quad);
    hge->Gfx_EndScene();
    TempFolder folder;
    const Surface picture = Snapshot(hge, folder);
    ExpectPixel(picture, 6, 10, 0x102030, "texel (1, 2)");
    ExpectPixel(picture, 10, 14, 0x102033, "texel (2, 3)");
    ExpectPixel(picture, 2, 2, 0x000000, "a new texture's transparent black");

    HTARGET target = hge->Target_Create(8, 8, false);
    HTEXTURE targetTexture = hge->Target_GetTexture(target);
    EXPECT_EQ(hge->Texture_GetWidth(targetTexture), 8);
    EXPECT_EQ(hge->Texture_Lock(targetTexture), nullptr);
    hge->Texture_Free(targetTexture);
    EXPECT_EQ(hge->Target_GetTexture(target), targetTexture) << "a target's texture goes only with its target";
    hge->Target_Free(target);
    EXPECT_EQ(hge->Target_GetTexture(target), 0u);
    EXPECT_EQ(hge->Texture_GetWidth(targetTexture), 0);
    EXPECT_FALSE(hge->Gfx_BeginScene(target));
    EXPECT_EQ(hge->Target_Create(0, 8, false), 0u);
    hgeQuad stale = Rectangle(0, 0, 8, 8, 0xFFFFFFFF, targetTexture);
    hge->Gfx_RenderQuad(&stale);
    hge->Gfx_RenderQuad(nullptr);
    hge->Texture_Free(0);
    hge->Target_Free(0);
    hge->Texture_Unlock(999);
}

TEST(GraphicsTest, TexturesLoadFromFilesAndMemoryAndRejectDamage)
{
    TempFolder folder;
    Surface image(SDL_CreateRGBSurfaceWithFormat(0, 5, 3, 32, SDL_PIXELFORMAT_ARGB8888));
    auto* pixels = static_cast<std::uint32_t*>(image->pixels);
    for (int i = 0; i < 15; ++i)
        pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 0x0A0B0C);
    pixels[14] = 0x80FFFFFF;
    ASSERT_EQ(IMG_SavePNG(image.get(), folder.File("p.png").c_str()), 0) << IMG_GetError();
    ASSERT_EQ(SDL_SaveBMP(image.get(), folder.File("p.bmp").c_str()), 0);
    // TGA has no signature: it is found by its extension.
    const unsigned char tga[] = {0, 0,  2,    0, 0, 0,    0, 0,    0, 0,    0, 0, 2,    0,    2,
                                 0, 24, 0x20, 0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF};
    folder.Write("t.TGA", std::string(reinterpret_cast<const char*>(tga), sizeof tga));

    HeadlessHge hge;
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    ASSERT_TRUE(hge->System_Initiate());
    HTEXTURE png = hge->Texture_Load(folder.File("p.png").c_str());
    EXPECT_EQ(hge->Texture_GetWidth(png), 5);
    EXPECT_EQ(hge->Texture_GetHeight(png), 3);
    std::uint32_t* loaded = hge->Texture_Lock(png);
    ASSERT_NE(loaded, nullptr);
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(loaded[i], pixels[i]) << "pixel " << i;
    hge->Texture_Unlock(png);
    EXPECT_EQ(hge->Texture_GetWidth(hge->Texture_Load(folder.File("p.bmp").c_str())), 5);
    HTEXTURE targa = hge->Texture_Load(folder.File("t.TGA").c_str());
    const std::uint32_t* texels = hge->Texture_Lock(targa);
    ASSERT_NE(texels, nullptr);
    EXPECT_EQ(std::vector<std::uint32_t>(texels, texels + 3),
              (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}));
    hge->Texture_Unlock(targa);
    const std::string bytes = folder.Read("p.png");
    EXPECT_EQ(hge->Texture_GetHeight(hge->Texture_Load(bytes.data(), static_cast<std::uint32_t>(bytes.size()))), 3);

    EXPECT_EQ(hge->Texture_Load((std::string(VEL_TEST_DATA) + "/truncated.png").c_str()), 0u);
    EXPECT_EQ(hge->Texture_Load((std::string(VEL_TEST_DATA) + "/not_an_image.png").c_str()), 0u);
    EXPECT_EQ(hge->Texture_Load(folder.File("absent.png").c_str()), 0u);
    EXPECT_EQ(hge->Texture_Load(bytes.data(), 20), 0u) << "a cut image in memory";
    const std::string log = folder.Read("engine.log");
    EXPECT_NE(log.find("truncated.png"), std::string::npos) << log;
    EXPECT_NE(log.find("absent.png"), std::string::npos) << log;

    hge->Texture_Free(png);
    EXPECT_EQ(hge->Texture_Lock(png), nullptr);
    EXPECT_EQ(hge->Texture_GetWidth(png), 0);
}

} // namespace
} // namespace Vel
