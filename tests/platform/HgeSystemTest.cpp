#include "HeadlessHge.h"
#include "TempFolder.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace Vel {
namespace {

using TestTools::HeadlessHge;
using TestTools::TempFolder;

// What the frame loop showed the frame function, one entry per frame.
HGE* s_hge = nullptr;
std::vector<float> s_deltas;
int s_renders = 0;
int s_endAtFrame = 0;

bool RecordFrame()
{
    s_deltas.push_back(s_hge->Timer_GetDelta());
    return static_cast<int>(s_deltas.size()) == s_endAtFrame;
}

// Paints the whole screen in a colour that tells the frame: red = 10 * frame.
bool RenderFrame()
{
    ++s_renders;
    if (s_hge->Gfx_BeginScene()) {
        s_hge->Gfx_Clear(0xFF000000u | static_cast<std::uint32_t>(10 * s_renders) << 16);
        s_hge->Gfx_EndScene();
    }
    return false;
}

void RunLoop(HeadlessHge& hge, int endAtFrame = 0)
{
    s_hge = hge.Get();
    s_deltas.clear();
    s_renders = 0;
    s_endAtFrame = endAtFrame;
    hge->System_SetState(HGE_FRAMEFUNC, RecordFrame);
    hge->System_SetState(HGE_RENDERFUNC, RenderFrame);
    ASSERT_TRUE(hge->System_Initiate());
    EXPECT_TRUE(hge->System_Start());
}

std::uint32_t RedOfPicture(const std::string& fileName)
{
    SDL_Surface* picture = SDL_LoadBMP(fileName.c_str());
    if (picture == nullptr)
        return 0xFFFFFFFF;
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(picture, SDL_PIXELFORMAT_ARGB8888, 0);
    const std::uint32_t red = (static_cast<const std::uint32_t*>(argb->pixels)[0] >> 16) & 0xFF;
    SDL_FreeSurface(argb);
    SDL_FreeSurface(picture);
    return red;
}

TEST(HgeSystemTest, OneCountedInterfaceWhoseFrameLoopEndsWhenTheFrameFunctionSaysSo)
{
    EXPECT_EQ(hgeCreate(0x170), nullptr);
    PlatformOptions options;
    options.fixedDelta = 0.25;
    HeadlessHge hge(options);
    HGE* second = hgeCreate(HGE_VERSION);
    EXPECT_EQ(second, hge.Get());
    second->Release();
    hge->System_SetState(HGE_FRAMEFUNC, RecordFrame);
    EXPECT_FALSE(hge->System_Start()) << "nothing runs before the display is open";
    RunLoop(hge, 3); // the interface is still alive after one of two references was dropped
    EXPECT_EQ(s_deltas, std::vector<float>(3, 0.25f));
    EXPECT_EQ(s_renders, 2) << "a frame whose function ends the loop is not drawn";
}

TEST(HgeSystemTest, FrameLimitAndSnapshotsWrittenAfterTheirFrameIsDrawn)
{
    TempFolder folder;
    PlatformOptions options;
    options.maxFrames = 4;
    options.snapshots = {{2, folder.File("two.bmp")}, {4, folder.File("four.png")}, {3, folder.File("no/dir.bmp")}};
    HeadlessHge hge(options, 8, 8);
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    RunLoop(hge);
    EXPECT_EQ(s_deltas, std::vector<float>(4, 1.0f / 60.0f));
    EXPECT_EQ(s_renders, 4) << "the last frame of a limited run is drawn";
    EXPECT_EQ(RedOfPicture(folder.File("two.bmp")), 20u);
    EXPECT_EQ(folder.Read("four.png").substr(1, 3), "PNG");
    EXPECT_NE(folder.Read("engine.log").find("no/dir.bmp"), std::string::npos) << "a failed snapshot is logged";
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

    folder.Write("preferences.ini",
                 "\xEF\xBB\xBF; archives of the game\r\n[Archives]\r\n1 = data1.pak \r\n# 2=commented.pak\r\n"
                 "3=data3.pak\r\nempty=\r\n1=second.pak\r\n[other]\nkey=value=with=equals\n");
    EXPECT_EQ(hge->Ini_GetString("archives", "1", "x"), "x") << "no ini file named yet";
    hge->System_SetState(HGE_INIFILE, folder.File("preferences.ini").c_str());
    // clang-format off
    for (const auto& [section, key, expected] : {std::tuple{"archives", "1", "data1.pak"}, {"ARCHIVES", "3", "data3.pak"},
             {"archives", "2", "none"}, {"archives", "empty", ""}, {"other", "key", "value=with=equals"},
             {"missing", "key", "none"}})
        EXPECT_EQ(hge->Ini_GetString(section, key, "none"), expected) << section << "/" << key;
    // clang-format on
    hge->System_SetState(HGE_INIFILE, folder.File("absent.ini").c_str());
    EXPECT_EQ(hge->Ini_GetString("archives", "1", "none"), "none");
}

} // namespace
} // namespace Vel
