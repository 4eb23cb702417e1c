// The bundled demo played the way a player meets it. The first run starts a new game from the main menu, hears the
// voiced lines, takes the lake at the choice, saves from the right-click menu, plays to the end and looks at the
// unlocked pictures of the gallery before it ends from the main menu. The second run, with the same user folder, loads
// that save from the save/load screen, lowers the music in the options menu, switches to full screen and back, and
// plays a new game, which remembers the ending seen before, down the night branch. The demo also ships packed and in a
// window.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace Vel::TestTools;

// Story lines advance with a click anywhere above the choices.
std::string Clicks(int first, int last, int step = 60)
{
    std::string input;
    for (int frame = first; frame <= last; frame += step)
        input += std::to_string(frame) + " click 400 300\n";
    return input;
}

// Menu buttons take a click once the mouse has rested on them. Main menu: new game (180, 234), load (180, 294),
// gallery (180, 354), options (180, 414), end (180, 474). Pause menu: save (400, 194), main menu (400, 389), back
// (400, 454). The gallery: next (690, 542), close (400, 562).
std::string FirstRunInput()
{
    return Press(60, 180, 234, 10) + Clicks(330, 390) + Clicks(600, 660) + Clicks(900, 960) + // new game
           Press(1000, 250, 484, 10) + "1150 down rbutton\n1151 up rbutton\n" +               // the choice: the lake
           Press(1180, 400, 194, 10) + Press(1320, 400, 454, 10) +                            // save, back to the game
           Clicks(1400, 1460) + Clicks(1560, 1620) + Clicks(1700, 1700) +                     // the end: the title
           Press(1760, 180, 354, 10) + Press(1830, 690, 542, 10) + // gallery: the meadow; next: the lake
           Press(1900, 690, 542, 10) + Press(1970, 400, 562, 10) + // next: the night, still locked; close
           Press(2040, 180, 474, 10);                              // end
}

// The save/load screen's first thumbnail lies at (160, 195); its choice menu loads at (400, 249). The options menu's
// music slider has a box every 30 pixels from x = 200: the second one sets 1. Window and full screen buttons lie at
// (528, 799) on the full-screen desktop and (380, 444) in the window; back at (160, 534).
std::string SecondRunInput()
{
    return Press(60, 180, 294, 10) + Press(100, 160, 195, 10) + Press(140, 400, 249, 10) +  // load the save
           "200 down rbutton\n201 up rbutton\n" + Press(230, 400, 389, 10) +                // back to the main menu
           Press(270, 180, 414, 10) + Press(510, 243, 163, 10) +                            // options: music 1
           Press(630, 380, 444, 10) + Press(690, 528, 799, 10) + Press(750, 160, 534, 10) + // full screen, window, back
           Press(790, 180, 234, 10) + Clicks(870, 1290) + Press(1340, 390, 535, 10) + // new game; the choice: the night
           Clicks(1410, 1830) + Press(1890, 180, 474, 10);                            // end
}

// Colours of the generated pictures may be blended at their edges, never by more than a few steps.
bool Near(std::uint32_t actual, std::uint32_t expected)
{
    for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(static_cast<int>(actual >> shift & 0xFF) - static_cast<int>(expected >> shift & 0xFF)) > 6)
            return false;
    return true;
}

// A persistent trigger's record in "sys0.dfn": its name and value as length-prefixed UTF-16.
std::string TriggerRecord(const std::string& name, std::int32_t kind, const std::string& value)
{
    const auto text = [](const std::string& ascii) {
        std::string bytes(4, '\0');
        const std::uint32_t length = static_cast<std::uint32_t>(ascii.size() * 2);
        std::memcpy(bytes.data(), &length, 4);
        for (char c : ascii)
            bytes += std::string{c, '\0'};
        return bytes;
    };
    std::string record = text(name);
    record.append(reinterpret_cast<const char*>(&kind), 4);
    return record + text(value);
}

class DemoRunTest : public ::testing::Test
{
protected:
    void SetUp() override { m_game = CopyDemo(m_root); }

    // A run of the game replaying the input; its snapshots are named "frame:file" and its sound goes to the wav.
    int Play(const fs::path& game, const std::string& input, int frames, std::initializer_list<std::string> snapshots,
             const std::string& wav = "")
    {
        std::string options = "--frames " + std::to_string(frames) + Replay(m_root, input);
        for (const std::string& snapshot : snapshots)
            options += Snapshot(m_root, std::stoi(snapshot), snapshot.substr(snapshot.find(':') + 1));
        return RunGame(m_root, game, options + (wav.empty() ? "" : " --audio-out '" + m_root.File(wav) + "'"));
    }

    TempFolder m_root;
    fs::path m_game;
};

TEST_F(DemoRunTest, APlayerPlaysBothBranchesSavesLoadsAndIsRememberedAcrossRuns)
{
    // The first run ends through the main menu's "End" long before its last frame: no snapshot is taken there.
    ASSERT_EQ(Play(m_game, FirstRunInput(), 2400,
                   {"20:main.bmp", "1000:choice.bmp", "1250:saved.bmp", "1800:meadow.bmp", "1940:locked.bmp",
                    "2300:ended.bmp"},
                   "first.wav"),
              0)
        << m_root.Read("err.txt");
    const std::string save = m_root.File("user/save/00000001.sav");
    ExpectInOrder(m_root.Read("trace.txt"),
                  {"0 menu mainmenu\n", "70 menuclosed mainmenu\n", "scene afternoon\n", "Speak-mira\n", "Speak-tobi\n",
                   "command afternoon 14 Selection\n", "1010 scene lake\n", "menu pausemenu\n",
                   "1190 save " + save + "\n", "menuclosed pausemenu\n", "scene finale\n", "scene the_end\n",
                   "scene title\n", "menu mainmenu\n"});
    EXPECT_FALSE(fs::exists(m_root.File("ended.bmp")));
    EXPECT_FALSE(fs::exists(m_game / "engine.log")) << "nothing went wrong: " << m_root.Read("demo/engine.log");

    EXPECT_TRUE(Near(BmpPixel(m_root.Read("main.bmp"), 700, 110), 0xFFF7B0)) << "the moon over the main menu";
    EXPECT_TRUE(Near(BmpPixel(m_root.Read("choice.bmp"), 700, 40), 0x86CBF1)) << "the meadow's sky at the choice";
    EXPECT_TRUE(Near(BmpPixel(m_root.Read("saved.bmp"), 400, 194), 0xF2D24A)) << "the lit save button under the notice";
    EXPECT_TRUE(Near(BmpPixel(m_root.Read("meadow.bmp"), 400, 150), 0x7EC8F0)) << "the unlocked meadow's sky";
    EXPECT_TRUE(Near(BmpPixel(m_root.Read("locked.bmp"), 500, 250), 0x444455)) << "the night, not seen yet";

    // A voiced line is heard over the music.
    const LevelMeter first = ReadRendered(m_root.File("first.wav"));
    EXPECT_GT(LevelAt(first, 390 / 60.0, 50 / 60.0), 2.0 * LevelAt(first, 330 / 60.0, 50 / 60.0));

    // The save and its thumbnail; the persistent triggers: the ending seen and the pictures shown.
    EXPECT_TRUE(fs::exists(save));
    EXPECT_GT(fs::file_size(m_root.File("user/save/00000001.bmp")), 0u);
    std::string values = m_root.Read("user/sys0.dfn");
    EXPECT_NE(values.find(TriggerRecord("finished", 1, "yes")), std::string::npos);
    EXPECT_NE(values.find(TriggerRecord("cg_lake", 2, "1")), std::string::npos);
    EXPECT_EQ(values.find(TriggerRecord("cg_night", 2, "1")), std::string::npos);
    EXPECT_FLOAT_EQ(StoredMusicVolume(m_root), 0.3F);

    ASSERT_EQ(Play(m_game, SecondRunInput(), 2200,
                   {"180:loaded.bmp", "660:full.bmp", "720:window.bmp", "1400:night.bmp"}, "second.wav"),
              0)
        << m_root.Read("err.txt");
    ExpectInOrder(m_root.Read("trace.txt"),
                  {"150 load " + save + "\n", "150 scene lake\n", "menu pausemenu\n", "menu mainmenu\n",
                   "menu optionsmenu\n", "menuclosed optionsmenu\n", "800 scene meadow\n", "800 scene welcome\n",
                   "scene afternoon\n", "1350 scene night\n", "scene finale\n", "scene seen_before\n",
                   "scene title\n"});

    const std::string loaded = m_root.Read("loaded.bmp");
    EXPECT_TRUE(Near(BmpPixel(loaded, 400, 40), 0xF3A06E)) << "the lake's evening sky";
    EXPECT_TRUE(Near(BmpPixel(loaded, 200, 400), 0xC2416B)) << "Mira stands at the lake again";
    // Full screen on the 1920 x 1080 desktop: the options menu between black bars; then the window again.
    const std::string full = m_root.Read("full.bmp");
    ASSERT_GT(full.size(), 1920u * 1080u * 3u);
    EXPECT_EQ(BmpPixel(full, 100, 540), 0u);
    EXPECT_EQ(BmpPixel(full, 1820, 540), 0u);
    EXPECT_TRUE(Near(BmpPixel(full, 960, 200), 0x254166));
    EXPECT_LT(m_root.Read("window.bmp").size(), 800u * 600u * 4u);
    EXPECT_TRUE(Near(BmpPixel(m_root.Read("night.bmp"), 400, 40), 0x070A1D));

    // The slider lowered the music from 3 to 1: a third of the level, and remembered.
    const LevelMeter second = ReadRendered(m_root.File("second.wav"));
    const double before = LevelAt(second, 400 / 60.0, 115 / 60.0), after = LevelAt(second, 530 / 60.0, 110 / 60.0);
    EXPECT_GT(before, 0.02);
    EXPECT_NEAR(after / before, 1.0 / 3.0, 0.1);
    EXPECT_FLOAT_EQ(StoredMusicVolume(m_root), 0.1F);
    values = m_root.Read("user/sys0.dfn");
    EXPECT_NE(values.find(TriggerRecord("cg_night", 2, "1")), std::string::npos);
    EXPECT_TRUE(fs::exists(save)) << "loading keeps the save";
}

// Shipped as a player gets it: the compiled scripts and every asset in the protected archive, only the archive's
// name, the icon, the TrueType face and the document left loose. Its opening is the same to the pixel.
TEST_F(DemoRunTest, ThePackedDemoPlaysTheSameOpening)
{
    ASSERT_EQ(Engine(m_root, "compile '" + m_game.string() + "'"), 0);
    ASSERT_EQ(Status("cd '" + m_game.string() + "' && '" + VEL_ENGINE +
                     "' pack data.pak *.cvls font1.fnt font1.png fonts/*.fnt fonts/*.png anim menus pics sound "
                     "voice >/dev/null"),
              0);
    const fs::path shipped = m_root.Path() / "shipped";
    fs::create_directories(shipped / "fonts");
    for (const char* file : {"data.pak", "icon.png", "readme.txt", "fonts/dejavu.ttf"})
        fs::copy_file(m_game / file, shipped / file);
    std::ofstream(shipped / "preferences.ini") << "[engine]\ncodepage=CP1252\n\n[archives]\n1=data.pak\n";

    const std::string opening = FirstRunInput().substr(0, FirstRunInput().find("1000 move"));
    ASSERT_EQ(Play(m_game, opening, 1000, {"1000:loose.bmp"}), 0) << m_root.Read("err.txt");
    const std::string looseTrace = m_root.Read("trace.txt");
    fs::remove_all(m_root.File("user"));
    ASSERT_EQ(Play(shipped, opening, 1000, {"1000:packed.bmp"}), 0) << m_root.Read("err.txt");

    EXPECT_EQ(m_root.Read("trace.txt"), looseTrace);
    EXPECT_NE(looseTrace.find("command afternoon 14 Selection"), std::string::npos) << looseTrace;
    const std::string packed = m_root.Read("packed.bmp");
    ASSERT_FALSE(packed.empty());
    EXPECT_TRUE(packed == m_root.Read("loose.bmp")) << "the packed opening looks different";
    EXPECT_FALSE(fs::exists(shipped / "engine.log")) << m_root.Read("shipped/engine.log");
}

// The README's run command opens a real window; under a virtual X server its main menu is on the screen.
TEST_F(DemoRunTest, OpensItsMainMenuInAWindow)
{
    if (std::system("command -v xvfb-run >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "xvfb-run is not installed";
    // Under the leak checker, a window leaves blocks of the X and D-Bus libraries that SDL loads and unloads, which no
    // suppression can name; the headless runs above are the ones checked for leaks.
    ASSERT_EQ(Status("ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s '-screen 0 1024x768x24' '" + std::string(VEL_ENGINE) +
                     "' '" + m_game.string() + "' --user-dir '" + m_root.File("user") + "' --frames 60" +
                     Snapshot(m_root, 40, "window.bmp") + " 2>/dev/null >/dev/null"),
              0);
    const std::string window = m_root.Read("window.bmp");
    ASSERT_FALSE(window.empty());
    EXPECT_TRUE(Near(BmpPixel(window, 700, 110), 0xFFF7B0)) << "the moon over the main menu";
    EXPECT_TRUE(Near(BmpPixel(window, 280, 234), 0xF6EFE0)) << "the new game button";
}

} // namespace
