#include "GameRun.h"
#include "HeadlessHge.h"
#include "TempFolder.h"
#include "platform/RendererChoice.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace Vel {
namespace {

using TestTools::HeadlessHge;
using TestTools::TempFolder;

// The frame loop, its limit and snapshots of every kind are the end-to-end runs'; this snapshot fails.
TEST(HgeSystemTest, ASnapshotThatCannotBeWrittenIsLogged)
{
    TempFolder folder;
    PlatformOptions options;
    options.maxFrames = 2;
    options.snapshots = {{2, folder.File("no/dir.bmp")}};
    HeadlessHge hge(options, 8, 8);
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    hge->System_SetState(HGE_FRAMEFUNC, [] { return false; });
    ASSERT_TRUE(hge->System_Initiate());
    EXPECT_TRUE(hge->System_Start());
    EXPECT_NE(folder.Read("engine.log").find("no/dir.bmp"), std::string::npos);
}

// OpenGL only with a GPU; a setting forces a choice, and one not understood is named and left to the machine.
TEST(HgeSystemTest, TheRendererIsSoftwareWithoutAGpuUnlessTheSettingSaysOtherwise)
{
    using Kind = RendererChoice::Kind;
    const std::tuple<const char*, bool, Kind, bool> cases[] = {
        {"", false, Kind::Software, false},        {"", true, Kind::OpenGl, false},
        {"auto", false, Kind::Software, false},    {"software", true, Kind::Software, false},
        {"opengl", false, Kind::OpenGl, false},    {"vulkan", true, Kind::OpenGl, true},
        {"Software", false, Kind::Software, true},
    };
    for (const auto& [setting, gpu, kind, noticed] : cases) {
        const RendererChoice choice = RendererChoice::Decide(setting, gpu);
        EXPECT_EQ(choice.GetKind(), kind) << setting << ' ' << gpu;
        const bool named = choice.GetNotice().find(std::string("=") + setting + " ") != std::string::npos;
        EXPECT_EQ(named, noticed) << choice.GetNotice();
        EXPECT_EQ(choice.GetNotice().empty(), !noticed) << setting;
    }
}

TEST(HgeSystemTest, LogAndIniFiles)
{
    TempFolder folder;
    folder.Write("engine.log", "earlier line\n");
    HeadlessHge hge({}, 0, 0);
    hge->System_Log("dropped: %d", 1);
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    hge->System_Log("font %s has %d pages", "font1.fnt", 2);
    hge->System_Log("%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(folder.Read("engine.log"), "earlier line\nfont font1.fnt has 2 pages\n" + std::string(5000, 'x') + "\n");

    EXPECT_FALSE(hge->System_Initiate());
    EXPECT_NE(folder.Read("engine.log").find("invalid screen size 0x0"), std::string::npos);
    hge->System_SetState(HGE_LOGFILE, folder.File("no/such/folder/engine.log").c_str());
    hge->System_Log("into nowhere");

    EXPECT_EQ(hge->Ini_GetString("archives", "1", "x"), "x") << "no ini file named yet";
    // With a byte order mark, CR LF line ends, a comment and a key given twice.
    hge->System_SetState(HGE_INIFILE, VEL_TEST_DATA "/preferences.ini");
    // clang-format off
    for (const auto& [section, key, expected] : {std::tuple{"archives", "1", "data1.pak"}, {"ARCHIVES", "3", "data3.pak"},
             {"archives", "2", "none"}, {"archives", "empty", ""}, {"other", "key", "value=with=equals"},
             {"missing", "key", "none"}})
        EXPECT_EQ(hge->Ini_GetString(section, key, "none"), expected) << section << "/" << key;
    // clang-format on
    hge->System_SetState(HGE_INIFILE, folder.File("absent.ini").c_str());
    EXPECT_EQ(hge->Ini_GetString("archives", "1", "none"), "none");
}

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
    HeadlessHge hge;
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    ASSERT_TRUE(hge->System_Initiate());
    const std::string data = VEL_TEST_DATA;
    const auto texels = [&hge](HTEXTURE texture) {
        const std::uint32_t* locked = hge->Texture_Lock(texture);
        std::vector<std::uint32_t> read(locked, locked != nullptr ? locked + 6 : locked);
        hge->Texture_Unlock(texture);
        return read;
    };
    // Red, green, blue over white, black, yellow; the PNG's white is half transparent. TGA has no signature: it is
    // found by its extension.
    std::vector<std::uint32_t> expected{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x80FFFFFF, 0xFF000000, 0xFFFFFF00};
    const std::string png = folder.Read(data + "/rgbw.png");
    EXPECT_EQ(texels(hge->Texture_Load(png.data(), static_cast<std::uint32_t>(png.size()))), expected);
    for (const char* name : {"rgbw.png", "rgbw.bmp", "rgbw.TGA"}) {
        const HTEXTURE texture = hge->Texture_Load((data + "/" + name).c_str());
        EXPECT_EQ(std::pair(hge->Texture_GetWidth(texture), hge->Texture_GetHeight(texture)), std::pair(3, 2));
        EXPECT_EQ(texels(texture), expected) << name;
        expected[3] = 0xFFFFFFFF;
    }

    EXPECT_EQ(hge->Texture_Load((data + "/truncated.png").c_str()), 0u);
    EXPECT_EQ(hge->Texture_Load((data + "/not_an_image.png").c_str()), 0u);
    EXPECT_EQ(hge->Texture_Load(folder.File("absent.png").c_str()), 0u);
    EXPECT_EQ(hge->Texture_Load(png.data(), 20), 0u) << "a cut image in memory";
    const std::string log = folder.Read("engine.log");
    EXPECT_NE(log.find("truncated.png"), std::string::npos) << log;
    EXPECT_NE(log.find("absent.png"), std::string::npos) << log;

    const HTEXTURE freed = hge->Texture_Load((data + "/rgbw.png").c_str());
    hge->Texture_Free(freed);
    EXPECT_EQ(hge->Texture_Lock(freed), nullptr);
    EXPECT_EQ(hge->Texture_GetWidth(freed), 0);
}

// Glyphs are blended by the engine itself where it owns the screen's pixels; they must come out as SDL draws the
// same quads, in every colour over every background, cut at the screen's edges too.
TEST(GraphicsTest, BlitsDrawTheSamePixelsAsQuads)
{
    TempFolder folder;
    constexpr int kSide = 256;
    HeadlessHge hge({}, kSide, 32);
    ASSERT_TRUE(hge->System_Initiate());
    // Row 0: white at every coverage, as an atlas holds glyphs; row 1: coloured pixels, in runs of four empty, four
    // opaque and four of other alphas.
    const HTEXTURE texture = hge->Texture_Create(kSide, 2);
    std::uint32_t* pixels = hge->Texture_Lock(texture, false);
    for (std::uint32_t i = 0; i < kSide; ++i) {
        pixels[i] = i << 24 | 0xFFFFFF;
        const std::uint32_t alpha = i % 12 < 4 ? 0 : i % 12 < 8 ? 255 : i;
        pixels[kSide + i] = alpha << 24 | ((i * 0x10307) & 0xFFFFFF);
    }
    hge->Texture_Unlock(texture);
    const std::uint32_t colours[] = {0xFFFFFFFF, 0xFFE0C070, 0x80FFFFFF, 0x40306090, 0x00FFFFFF};
    const std::uint32_t backgrounds[] = {0xFF000000, 0xFF808080, 0xFF2050F0};
    // Each case a row of its own; some are narrower than the screen, the last ones hang over the left and right
    // edges: widths that are no multiple of four, with and without room past their ends.
    const auto draw = [&](bool asBlits, const std::string& file) {
        ASSERT_TRUE(hge->Gfx_BeginScene());
        int y = 0;
        for (std::uint32_t background : backgrounds) {
            hgeQuad fill;
            for (int i = 0; i < 4; ++i)
                fill.v[i] = hgeVertex{i == 1 || i == 2 ? 256.0f : 0.0f,
                                      static_cast<float>(y + (i >= 2 ? 10 : 0)),
                                      0.5f,
                                      background,
                                      0,
                                      0};
            hge->Gfx_RenderQuad(&fill);
            for (std::uint32_t colour : colours) {
                for (int row = 0; row < 2; ++row, ++y) {
                    const int x = y >= 28 ? (y % 2 == 0 ? -101 : 103) : 0;
                    const int width = y < 28 && y % 3 == 1 ? 250 : kSide; // room past its end on both
                    const hgeBlit blit{0, row, width, 1, x, y};
                    if (asBlits) {
                        hge->Gfx_RenderBlits(texture, &blit, 1, colour);
                        continue;
                    }
                    hgeQuad quad;
                    quad.tex = texture;
                    const float xs[4] = {float(x), float(x + width), float(x + width), float(x)};
                    const float right = float(width) / kSide;
                    const float us[4] = {0, right, right, 0};
                    for (int i = 0; i < 4; ++i)
                        quad.v[i] = hgeVertex{xs[i], float(y + (i >= 2)), 0.5f, colour, us[i], (row + (i >= 2)) / 2.0f};
                    hge->Gfx_RenderQuad(&quad);
                }
            }
        }
        hge->Gfx_EndScene();
        ASSERT_TRUE(hge->System_Snapshot(folder.File(file).c_str()));
    };
    draw(false, "quads.bmp");
    draw(true, "blits.bmp");
    const std::string quads = folder.Read("quads.bmp");
    const std::string blits = folder.Read("blits.bmp");
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < kSide; ++x)
            ASSERT_EQ(TestTools::BmpPixel(blits, x, y), TestTools::BmpPixel(quads, x, y)) << x << "," << y;
}

} // namespace
} // namespace Vel
