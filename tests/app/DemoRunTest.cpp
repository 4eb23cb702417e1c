// The bundled demo played the way a player meets it. The first run starts a new game from the main menu, hears the
// voiced lines, takes the lake at the choice, saves from the right-click menu, plays to the end and looks at the
// unlocked pictures of the gallery before it ends from the main menu. The second run, with the same user folder, loads
// that save from the save/load screen, lowers the music in the options menu, switches to full screen and back, and
// plays a new game, which remembers the ending seen before, down the night branch. The demo also ships packed and in a
// window.
#include "AudioTools.h"
#include "GameRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using Vel::TestTools::BmpPixel;

// Menu buttons take a click once the mouse has rested on them. Main menu: new game (180, 234), load (180, 294),
// gallery (180, 354), options (180, 414), end (180, 474). Pause menu: save (400, 194), main menu (400, 389), back
// (400, 454). Story lines advance with a click anywhere above the choices.
constexpr const char* kFirstRun = "60 move 180 234\n70 click 180 234\n" // new game
                                  "330 click 400 300\n390 click 400 300\n600 click 400 300\n660 click 400 300\n"
                                  "900 click 400 300\n960 click 400 300\n"
                                  "1000 move 250 484\n1010 click 250 484\n" // the choice: the lake
                                  "1150 down rbutton\n1151 up rbutton\n"
                                  "1180 move 400 194\n1190 click 400 194\n" // save
                                  "1320 move 400 454\n1330 click 400 454\n" // back to the game
                                  "1400 click 400 300\n1460 click 400 300\n1560 click 400 300\n1620 click 400 300\n"
                                  "1700 click 400 300\n"                     // the end: back to the title
                                  "1760 move 180 354\n1770 click 180 354\n"  // gallery: the meadow
                                  "1830 move 690 542\n1840 click 690 542\n"  // next: the lake
                                  "1900 move 690 542\n1910 click 690 542\n"  // next: the night, still locked
                                  "1970 move 400 562\n1980 click 400 562\n"  // close
                                  "2040 move 180 474\n2050 click 180 474\n"; // end

// The save/load screen's first thumbnail lies at (160, 195); its choice menu loads at (400, 249). The options menu's
// music slider has a box every 30 pixels from x = 200: the second one sets 1. Window and full screen buttons lie at
// (528, 799) on the full-screen desktop and (380, 444) in the window; back at (160, 534).
std::string SecondRunInput()
{
    std::string input = "60 move 180 294\n70 click 180 294\n"   // load
                        "100 move 160 195\n110 click 160 195\n" // the save
                        "140 move 400 249\n150 click 400 249\n" // load it
                        "200 down rbutton\n201 up rbutton\n"
                        "230 move 400 389\n240 click 400 389\n" // main menu
                        "270 move 180 414\n280 click 180 414\n" // options
                        "510 move 243 163\n520 click 243 163\n" // music 1
                        "630 move 380 444\n640 click 380 444\n" // full screen
                        "690 move 528 799\n700 click 528 799\n" // window
                        "750 move 160 534\n760 click 160 534\n" // back
                        "790 move 180 234\n800 click 180 234\n";
    for (int frame = 870; frame <= 1290; frame += 60)
        input += std::to_string(frame) + " click 400 300\n";
    input += "1340 move 390 535\n1350 click 390 535\n"; // the choice: the night
    for (int frame = 1410; frame <= 1830; frame += 60)
        input += std::to_string(frame) + " click 400 300\n";
    return input + "1890 move 180 474\n1900 click 180 474\n";
}

constexpr int kRate = 44100;

// The rendered level over frames [first, last) of the 60 frames a second.
double Level(const Vel::TestTools::LevelMeter& meter, int first, int last)
{
    return meter.Level(static_cast<std::size_t>(first) * kRate / 60,
                       static_cast<std::size_t>(last - first) * kRate / 60);
}

// Colours of the generated pictures may be blended at their edges, never by more than a few steps.
bool Near(std::uint32_t actual, std::uint32_t expected)
{
    for (int shift = 0; shift <= 16; shift += 8)
        if (std::abs(static_cast<int>(actual >> shift & 0xFF) - static_cast<int>(expected >> shift & 0xFF)) > 6)
            return false;
    return true;
}

// The lines must appear in this order.
void ExpectInOrder(const std::string& trace, std::initializer_list<std::string> lines)
{
    std::size_t at = 0;
    for (const std::string& line : lines) {
        const std::size_t found = trace.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " after offset " << at << " in\n" << trace;
        at = found + line.size();
    }
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

float MusicVolume(const std::string& settings)
{
    float volume = -1.0F;
    if (settings.size() >= sizeof volume)
        std::memcpy(&volume, settings.data(), sizeof volume);
    return volume;
}

class DemoRunTest : public ::testing::Test
{
protected:
    void SetUp() override { m_game = Vel::TestTools::CopyDemo(m_root); }

    std::string Snapshot(int frame, const std::string& name) const
    {
        return " --snapshot '" + std::to_string(frame) + ":" + m_root.File(name) + "'";
    }
    int Play(const fs::path& game, const std::string& input, const std::string& options)
    {
        m_root.Write("input.txt", input);
        return Vel::TestTools::RunGame(m_root, game,
                                       "--input '" + m_root.File("input.txt") + "' --trace '" +
                                           m_root.File("trace.txt") + "' " + options);
    }

    Vel::TestTools::TempFolder m_root;
    fs::path m_game;
};

TEST_F(DemoRunTest, APlayerPlaysBothBranchesSavesLoadsAndIsRememberedAcrossRuns)
{
    // The first run ends through the main menu's "End" long before its last frame: no snapshot is taken there.
    ASSERT_EQ(Play(m_game, kFirstRun,
                   "--frames 2400 --audio-out '" + m_root.File("first.wav") + "'" + Snapshot(20, "main.bmp") +
                       Snapshot(1000, "choice.bmp") + Snapshot(1250, "saved.bmp") + Snapshot(1800, "meadow.bmp") +
                       Snapshot(1940, "locked.bmp") + Snapshot(2300, "ended.bmp")),
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
    const std::string saved = m_root.Read("saved.bmp");
    EXPECT_TRUE(Near(BmpPixel(saved, 400, 194), 0xF2D24A)) << "the lit save button under the notice";
    EXPECT_TRUE(Near(BmpPixel(m_root.Read("meadow.bmp"), 400, 150), 0x7EC8F0)) << "the unlocked meadow's sky";
    EXPECT_TRUE(Near(BmpPixel(m_root.Read("locked.bmp"), 500, 250), 0x444455)) << "the night, not seen yet";

    // A voiced line is heard over the music.
    const Vel::TestTools::LevelMeter first = Vel::TestTools::ReadRendered(m_root.File("first.wav"));
    EXPECT_GT(Level(first, 390, 440), 2.0 * Level(first, 330, 380));

    // The save and its thumbnail; the persistent triggers: the ending seen and the pictures shown.
    EXPECT_TRUE(fs::exists(save));
    EXPECT_GT(fs::file_size(m_root.File("user/save/00000001.bmp")), 0u);
    std::string values = m_root.Read("user/sys0.dfn");
    EXPECT_NE(values.find(TriggerRecord("finished", 1, "yes")), std::string::npos);
    EXPECT_NE(values.find(TriggerRecord("cg_lake", 2, "1")), std::string::npos);
    EXPECT_EQ(values.find(TriggerRecord("cg_night", 2, "1")), std::string::npos);
    EXPECT_FLOAT_EQ(MusicVolume(m_root.Read("user/sys1.dfn")), 0.3F);

    ASSERT_EQ(Play(m_game, SecondRunInput(),
                   "--frames 2200 --audio-out '" + m_root.File("second.wav") + "'" + Snapshot(180, "loaded.bmp") +
                       Snapshot(660, "full.bmp") + Snapshot(720, "window.bmp") + Snapshot(1400, "night.bmp")),
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
    const Vel::TestTools::LevelMeter second = Vel::TestTools::ReadRendered(m_root.File("second.wav"));
    const double before = Level(second, 400, 515), after = Level(second, 530, 640);
    EXPECT_GT(before, 0.02);
    EXPECT_NEAR(after / before, 1.0 / 3.0, 0.1);
    EXPECT_FLOAT_EQ(MusicVolume(m_root.Read("user/sys1.dfn")), 0.1F);
    values = m_root.Read("user/sys0.dfn");
    EXPECT_NE(values.find(TriggerRecord("cg_night", 2, "1")), std::string::npos);
    EXPECT_TRUE(fs::exists(save)) << "loading keeps the save";
}

// Shipped as a player gets it: the compiled scripts and every asset in the protected archive, only the archive's
// name, the icon, the TrueType face and the document left loose. Its opening is the same to the pixel.
TEST_F(DemoRunTest, ThePackedDemoPlaysTheSameOpening)
{
    const std::string compile = std::string("'") + VEL_ENGINE + "' compile '" + m_game.string() + "' >/dev/null";
    ASSERT_EQ(std::system(compile.c_str()), 0);
    const std::string pack = "cd '" + m_game.string() + "' && '" + VEL_ENGINE +
                             "' pack data.pak *.cvls font1.fnt font1.png fonts/*.fnt fonts/*.png anim menus pics sound "
                             "voice >/dev/null";
    ASSERT_EQ(std::system(pack.c_str()), 0);
    const fs::path shipped = m_root.Path() / "shipped";
    fs::create_directories(shipped / "fonts");
    for (const char* file : {"data.pak", "icon.png", "readme.txt", "fonts/dejavu.ttf"})
        fs::copy_file(m_game / file, shipped / file);
    std::ofstream(shipped / "preferences.ini") << "[engine]\ncodepage=CP1252\n\n[archives]\n1=data.pak\n";

    const std::string opening = std::string(kFirstRun).substr(0, std::string(kFirstRun).find("1000 move"));
    ASSERT_EQ(Play(m_game, opening, "--frames 1000" + Snapshot(1000, "loose.bmp")), 0) << m_root.Read("err.txt");
    const std::string looseTrace = m_root.Read("trace.txt");
    fs::remove_all(m_root.File("user"));
    ASSERT_EQ(Play(shipped, opening, "--frames 1000" + Snapshot(1000, "packed.bmp")), 0) << m_root.Read("err.txt");

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
    const std::string command = "ASAN_OPTIONS=detect_leaks=0 xvfb-run -a -s '-screen 0 1024x768x24' '" +
                                std::string(VEL_ENGINE) + "' '" + m_game.string() + "' --user-dir '" +
                                m_root.File("user") + "' --frames 60" + Snapshot(40, "window.bmp") +
                                " 2>/dev/null >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    const std::string window = m_root.Read("window.bmp");
    ASSERT_FALSE(window.empty());
    EXPECT_TRUE(Near(BmpPixel(window, 700, 110), 0xFFF7B0)) << "the moon over the main menu";
    EXPECT_TRUE(Near(BmpPixel(window, 280, 234), 0xF6EFE0)) << "the new game button";
}

} // namespace
