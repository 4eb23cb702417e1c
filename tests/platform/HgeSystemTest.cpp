#include "PlatformTestTools.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace Vel {
namespace {

using PlatformTest::HeadlessHge;
using PlatformTest::TempFolder;

// What the frame loop showed the frame function, one record per frame.
struct FrameRecord
{
    float delta = 0;
    bool altSEvent = false;
    int keyDownEvents = 0;
    bool sWentDown = false;
    bool altHeld = false;
    bool lbuttonHeld = false;
    bool lbuttonWentDown = false;
    bool mouseOver = false;
    float mouseX = 0;
};

HGE* s_hge = nullptr;
std::vector<FrameRecord> s_frames;
int s_renders = 0;
int s_endAtFrame = 0;
std::string s_snapshotAtFrame3; // written by the frame function of frame 3 when set

bool RecordFrame()
{
    FrameRecord record;
    record.delta = s_hge->Timer_GetDelta();
    for (hgeInputEvent event; s_hge->Input_GetEvent(&event);) {
        if (event.type != INPUT_KEYDOWN)
            continue;
        ++record.keyDownEvents;
        record.altSEvent = record.altSEvent || (event.key == HGEK_S && (event.flags & HGEINP_ALT) != 0);
    }
    record.sWentDown = s_hge->Input_KeyDown(HGEK_S);
    record.altHeld = s_hge->Input_GetKeyState(HGEK_ALT);
    record.lbuttonHeld = s_hge->Input_GetKeyState(HGEK_LBUTTON);
    record.lbuttonWentDown = s_hge->Input_KeyDown(HGEK_LBUTTON);
    record.mouseOver = s_hge->Input_IsMouseOver();
    float y = 0;
    s_hge->Input_GetMousePos(&record.mouseX, &y);
    s_frames.push_back(record);
    if (s_frames.size() == 3 && !s_snapshotAtFrame3.empty())
    {
        EXPECT_TRUE(s_hge->System_Snapshot(s_snapshotAtFrame3.c_str()));
    }
    return static_cast<int>(s_frames.size()) == s_endAtFrame;
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
    s_frames.clear();
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
    std::uint32_t red = (static_cast<const std::uint32_t*>(argb->pixels)[0] >> 16) & 0xFF;
    SDL_FreeSurface(argb);
    SDL_FreeSurface(picture);
    return red;
}

TEST(HgeSystemTest, OneInterfaceWithAReferenceCount)
{
    EXPECT_EQ(hgeCreate(0x170), nullptr);
    HeadlessHge hge;
    HGE* second = hgeCreate(HGE_VERSION);
    EXPECT_EQ(second, hge.Get());
    second->Release();
    hge->System_SetState(HGE_SCREENWIDTH, 20);
    EXPECT_TRUE(hge->System_Initiate()) << "still alive after one of two references was dropped";
}

TEST(HgeSystemTest, FrameLoopEndsByFrameFunctionOrFrameLimit)
{
    {
        PlatformOptions options;
        options.maxFrames = 5;
        HeadlessHge hge(options);
        RunLoop(hge);
        EXPECT_EQ(s_frames.size(), 5u);
        EXPECT_EQ(s_renders, 5) << "the last frame of a limited run is drawn";
        EXPECT_FLOAT_EQ(s_frames[0].delta, 1.0f / 60.0f);
        EXPECT_FLOAT_EQ(s_frames[4].delta, 1.0f / 60.0f);
    }
    {
        PlatformOptions options;
        options.fixedDelta = 0.25;
        HeadlessHge hge(options);
        RunLoop(hge, 3);
        EXPECT_EQ(s_frames.size(), 3u);
        EXPECT_EQ(s_renders, 2) << "a frame whose function ends the loop is not drawn";
        EXPECT_FLOAT_EQ(s_frames[2].delta, 0.25f);
    }
    HeadlessHge notOpen;
    notOpen->System_SetState(HGE_FRAMEFUNC, RecordFrame);
    EXPECT_FALSE(notOpen->System_Start());
}

TEST(HgeSystemTest, ReplayedInputArrivesInItsFrame)
{
    PlatformOptions options;
    std::string error;
    std::optional<InputScript> script = InputScript::Parse("3 key alt+s\n"
                                                           "5 click 10 20\n"
                                                           "6 leave\n"
                                                           "8 close\n",
                                                           error);
    ASSERT_TRUE(script.has_value()) << error;
    options.input = *script;
    HeadlessHge hge(options);
    RunLoop(hge);

    ASSERT_EQ(s_frames.size(), 7u) << "the close at frame 8 ends the loop before its frame function";
    for (std::size_t i = 0; i < s_frames.size(); ++i) {
        int frame = static_cast<int>(i) + 1;
        EXPECT_EQ(s_frames[i].altSEvent, frame == 3) << "frame " << frame;
        EXPECT_EQ(s_frames[i].keyDownEvents, frame == 3 ? 1 : 0) << "alt goes down without an event";
        EXPECT_EQ(s_frames[i].sWentDown, frame == 3) << "frame " << frame;
        EXPECT_EQ(s_frames[i].altHeld, frame == 3) << "frame " << frame;
        EXPECT_EQ(s_frames[i].lbuttonHeld, frame == 5) << "frame " << frame;
        EXPECT_EQ(s_frames[i].lbuttonWentDown, frame == 5) << "frame " << frame;
        EXPECT_EQ(s_frames[i].mouseOver, frame == 5) << "outside until the click, left again at 6";
    }
    EXPECT_FLOAT_EQ(s_frames[4].mouseX, 10.0f);
}

TEST(HgeSystemTest, SnapshotsAreWrittenAfterTheirFrameIsDrawn)
{
    TempFolder folder;
    PlatformOptions options;
    options.maxFrames = 4;
    options.snapshots = {{2, folder.File("two.bmp")}, {4, folder.File("four.png")}, {3, folder.File("no/dir.bmp")}};
    HeadlessHge hge(options, 8, 8);
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    s_snapshotAtFrame3 = folder.File("in_frame_3.bmp");
    RunLoop(hge);
    s_snapshotAtFrame3.clear();
    EXPECT_EQ(RedOfPicture(folder.File("two.bmp")), 20u);
    EXPECT_EQ(RedOfPicture(folder.File("in_frame_3.bmp")), 20u) << "the frame function sees the last drawn picture";
    EXPECT_EQ(folder.Read("four.png").substr(1, 3), "PNG");
    EXPECT_NE(folder.Read("engine.log").find("no/dir.bmp"), std::string::npos) << "a failed snapshot is logged";
}

TEST(HgeSystemTest, InitiateFailureIsLoggedAndReported)
{
    TempFolder folder;
    HeadlessHge hge({}, 0, 0);
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(hge->System_Initiate());
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("invalid screen size 0x0"), std::string::npos) << printed;
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1);
    EXPECT_NE(folder.Read("engine.log").find("invalid screen size 0x0"), std::string::npos);
}

TEST(HgeSystemTest, IniValuesDefaultsAndGaps)
{
    TempFolder folder;
    folder.Write("preferences.ini", "\xEF\xBB\xBF; archives of the game\r\n"
                                    "[Archives]\r\n"
                                    "1 = data1.pak \r\n"
                                    "# 2=commented.pak\r\n"
                                    "3=data3.pak\r\n"
                                    "empty=\r\n"
                                    "1=second.pak\r\n"
                                    "[other]\n"
                                    "key=value=with=equals\n");
    HeadlessHge hge;
    EXPECT_EQ(hge->Ini_GetString("archives", "1", "x"), "x") << "no ini file named yet";
    hge->System_SetState(HGE_INIFILE, folder.File("preferences.ini").c_str());
    EXPECT_EQ(hge->Ini_GetString("archives", "1", ""), "data1.pak");
    EXPECT_EQ(hge->Ini_GetString("ARCHIVES", "3", ""), "data3.pak");
    EXPECT_EQ(hge->Ini_GetString("archives", "2", "none"), "none");
    EXPECT_EQ(hge->Ini_GetString("archives", "empty", "none"), "");
    EXPECT_EQ(hge->Ini_GetString("other", "key", ""), "value=with=equals");
    EXPECT_EQ(hge->Ini_GetString("missing", "key", "dflt"), "dflt");
    hge->System_SetState(HGE_INIFILE, folder.File("absent.ini").c_str());
    EXPECT_EQ(hge->Ini_GetString("archives", "1", "dflt"), "dflt");
}

TEST(HgeSystemTest, LogAppendsFormattedLines)
{
    TempFolder folder;
    folder.Write("engine.log", "earlier line\n");
    HeadlessHge hge;
    hge->System_Log("dropped: %d", 1);
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    hge->System_Log("font %s has %d pages", "font1.fnt", 2);
    hge->System_Log("%s", std::string(5000, 'x').c_str());
    EXPECT_EQ(folder.Read("engine.log"), "earlier line\nfont font1.fnt has 2 pages\n" + std::string(5000, 'x') + "\n");
    hge->System_SetState(HGE_LOGFILE, folder.File("no/such/folder/engine.log").c_str());
    hge->System_Log("into nowhere");
}

TEST(HgeSystemTest, RandomIntCoversItsInclusiveRange)
{
    HeadlessHge hge;
    std::set<int> seen;
    for (int i = 0; i < 600; ++i) {
        int value = hge->Random_Int(-1, 2);
        EXPECT_TRUE(value >= -1 && value <= 2) << value;
        seen.insert(value);
    }
    EXPECT_EQ(seen.size(), 4u);
    EXPECT_EQ(hge->Random_Int(5, 5), 5);
    int reversed = hge->Random_Int(3, 1);
    EXPECT_TRUE(reversed >= 1 && reversed <= 3);
}

TEST(HgeSystemTest, LaunchRefusesWhatIsNotAnAddress)
{
    TempFolder folder;
    HeadlessHge hge;
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    EXPECT_FALSE(hge->System_Launch("-x"));
    EXPECT_FALSE(hge->System_Launch("--help"));
    EXPECT_FALSE(hge->System_Launch(""));
    EXPECT_FALSE(hge->System_Launch(nullptr));
    EXPECT_NE(folder.Read("engine.log").find("'-x'"), std::string::npos);
}

} // namespace
} // namespace Vel
