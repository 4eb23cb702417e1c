#include "HeadlessHge.h"
#include "TempFolder.h"

#include <SDL.h>
#include <SDL_image.h>

#include <gtest/gtest.h>

#include <vector>

namespace Vel {
namespace {

using TestTools::HeadlessHge;
using TestTools::TempFolder;

// Whole textures drawn on screen are every drawing test's; these are the refusals.
TEST(GraphicsTest, LocksAndScenesAreRefusedWhenTheyCannotBeAndStaleHandlesDoNoHarm)
{
    HeadlessHge hge({}, 16, 16);
    EXPECT_EQ(hge->Texture_Create(4, 4), 0u) << "nothing is drawn before the display is open";
    ASSERT_TRUE(hge->System_Initiate());
    HTEXTURE tex = hge->Texture_Create(4, 4);
    ASSERT_NE(hge->Texture_Lock(tex, true), nullptr);
    EXPECT_EQ(hge->Texture_Lock(tex), nullptr) << "already locked";
    hge->Texture_Unlock(tex);
    EXPECT_EQ(hge->Texture_Lock(tex, true, 3, 3, 2, 2), nullptr) << "rectangle outside the texture";
    EXPECT_FALSE(hge->Gfx_BeginScene(12345));
    ASSERT_TRUE(hge->Gfx_BeginScene());
    EXPECT_FALSE(hge->Gfx_BeginScene()) << "a second scene while one is open";
    hge->Gfx_EndScene();

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
    hgeQuad stale{};
    stale.tex = targetTexture;
    hge->Gfx_RenderQuad(&stale);
    hge->Gfx_RenderQuad(nullptr);
    hge->Texture_Free(0);
    hge->Target_Free(0);
    hge->Texture_Unlock(999);
}

TEST(GraphicsTest, TexturesLoadFromFilesAndMemoryAndRejectDamage)
{
    TempFolder folder;
    SDL_Surface* image = SDL_CreateRGBSurfaceWithFormat(0, 5, 3, 32, SDL_PIXELFORMAT_ARGB8888);
    auto* pixels = static_cast<std::uint32_t*>(image->pixels);
    for (int i = 0; i < 15; ++i)
        pixels[i] = 0xFF000000u | static_cast<std::uint32_t>(i * 0x0A0B0C);
    pixels[14] = 0x80FFFFFF;
    const std::vector<std::uint32_t> written(pixels, pixels + 15);
    ASSERT_EQ(IMG_SavePNG(image, folder.File("p.png").c_str()), 0) << IMG_GetError();
    ASSERT_EQ(SDL_SaveBMP(image, folder.File("p.bmp").c_str()), 0);
    SDL_FreeSurface(image);
    // TGA has no signature: it is found by its extension.
    const unsigned char tga[] = {0, 0,  2,    0, 0, 0,    0, 0,    0, 0,    0, 0, 2,    0,    2,
                                 0, 24, 0x20, 0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF};
    folder.Write("t.TGA", std::string(reinterpret_cast<const char*>(tga), sizeof tga));

    HeadlessHge hge;
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    ASSERT_TRUE(hge->System_Initiate());
    const auto texels = [&hge](HTEXTURE texture, int count) {
        const std::uint32_t* locked = hge->Texture_Lock(texture);
        std::vector<std::uint32_t> read(locked, locked != nullptr ? locked + count : locked);
        hge->Texture_Unlock(texture);
        return read;
    };
    HTEXTURE png = hge->Texture_Load(folder.File("p.png").c_str());
    EXPECT_EQ(std::pair(hge->Texture_GetWidth(png), hge->Texture_GetHeight(png)), std::pair(5, 3));
    EXPECT_EQ(texels(png, 15), written);
    EXPECT_EQ(hge->Texture_GetWidth(hge->Texture_Load(folder.File("p.bmp").c_str())), 5);
    EXPECT_EQ(texels(hge->Texture_Load(folder.File("t.TGA").c_str()), 3),
              (std::vector<std::uint32_t>{0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu}));
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
