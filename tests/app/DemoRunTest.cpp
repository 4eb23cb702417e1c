// The bundled demo played the way a player meets it. The first run starts a new game from the main menu, hears the
// voiced lines, takes the lake at the choice, saves from the right-click menu, plays to the end and looks at the
// unlocked pictures of the gallery before it ends from the main menu. The second run, with the same user folder, loads
// that save from the save/load screen, lowers the music in the options menu, switches to full screen and back, and
// plays a new game, which remembers the ending seen before, down the night branch. The demo also ships packed and in a
// window.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace Vel::TestTools;

// The replays and what the runs are expected to leave.
const fs::path kData = fs::path(VEL_TEST_DATA) / "demo";
const fs::path kOpening = fs::path(VEL_DEMO_GAME) / "tools" / "opening.replay";

class DemoRunTest : public ::testing::Test
{
protected:
    void SetUp() override { m_game = CopyDemo(m_root); }

    // A run of the game replaying the input; its snapshots are named "frame:file" and its sound goes to the wav.
    int Play(const fs::path& game, const fs::path& input, int frames, std::initializer_list<std::string> snapshots,
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
    ASSERT_EQ(Play(m_game, kOpening, 2400,
                   {"20:main.bmp", "1000:choice.bmp", "1250:saved.bmp", "1800:meadow.bmp", "1940:locked.bmp",
                    "2300:ended.bmp"},
                   "first.wav"),
              0)
        << m_root.Read("err.txt");
    ExpectTrace(m_root, kData / "first.trace");
    EXPECT_FALSE(fs::exists(m_root.File("ended.bmp")));
    EXPECT_FALSE(fs::exists(m_game / "engine.log")) << "nothing went wrong: " << m_root.Read("demo/engine.log");

    ExpectPixels(m_root, kData / "first.pixels");

    // A voiced line is heard over the music.
    const LevelMeter first = ReadRendered(m_root.File("first.wav"));
    EXPECT_GT(LevelAt(first, 390 / 60.0, 50 / 60.0), 2.0 * LevelAt(first, 330 / 60.0, 50 / 60.0));

    // The save and its thumbnail; the persistent triggers as stored: the ending seen (finished = yes) and the pictures
    // shown (cg_lake and cg_meadow = 1), the night not yet (cg_night empty).
    const std::string save = m_root.File("user/save/00000001.sav");
    EXPECT_TRUE(fs::exists(save));
    EXPECT_GT(fs::file_size(m_root.File("user/save/00000001.bmp")), 0u);
    EXPECT_EQ(m_root.Read("user/sys0.dfn"), m_root.Read((kData / "first_sys0.dfn").string()));
    EXPECT_EQ(m_root.Read("user/sys1.dfn"), m_root.Read((kData / "first_sys1.dfn").string())) << "music at 0.3";

    ASSERT_EQ(Play(m_game, kData / "second.replay", 2200,
                   {"180:loaded.bmp", "660:full.bmp", "720:window.bmp", "1400:night.bmp"}, "second.wav"),
              0)
        << m_root.Read("err.txt");
    ExpectTrace(m_root, kData / "second.trace");
    // Full screen on the 1920 x 1080 desktop, then the window again.
    ASSERT_GT(m_root.Read("full.bmp").size(), 1920u * 1080u * 3u);
    EXPECT_LT(m_root.Read("window.bmp").size(), 800u * 600u * 4u);
    ExpectPixels(m_root, kData / "second.pixels");

    // The slider lowered the music from 3 to 1: a third of the level, and remembered.
    const LevelMeter second = ReadRendered(m_root.File("second.wav"));
    const double before = LevelAt(second, 400 / 60.0, 115 / 60.0), after = LevelAt(second, 530 / 60.0, 110 / 60.0);
    EXPECT_GT(before, 0.02);
    EXPECT_NEAR(after / before, 1.0 / 3.0, 0.1);
    EXPECT_EQ(m_root.Read("user/sys1.dfn"), m_root.Read((kData / "second_sys1.dfn").string())) << "music at 0.1";
    EXPECT_EQ(m_root.Read("user/sys0.dfn"), m_root.Read((kData / "second_sys0.dfn").string())) << "cg_night = 1 too";
    EXPECT_TRUE(fs::exists(save)) << "loading keeps the save";
}

// The controls a player expects, through the demo's quick menu and keys, and Continue at the next start.
TEST_F(DemoRunTest, TheQuickMenuSwitchesModesKeepsHistoryAndSavesAndTheTitleContinues)
{
    ASSERT_EQ(Play(m_game, kData / "controls.replay", 900, {"200:auto.bmp", "470:history.bmp", "850:options.bmp"}), 0)
        << m_root.Read("err.txt");
    ExpectTrace(m_root, kData / "controls.trace");
    ExpectPixels(m_root, kData / "controls.pixels");
    EXPECT_NE(m_root.Read("user/settings.ini").find("language=ja\n"), std::string::npos);
    ASSERT_EQ(Play(m_game, kData / "continue.replay", 60, {}), 0) << m_root.Read("err.txt");
    ExpectTrace(m_root, kData / "continue.trace");
}

// The opening in Japanese: Mira's long line wraps in the speech box (480 pixels from x = 160; 18-pixel text, the
// first line from y = 470) onto a second line and no third; an entry taken out of the translation is shown in the
// game's own English.
TEST_F(DemoRunTest, TheOpeningInJapaneseWrapsItsLinesAndFallsBackToTheOriginal)
{
    const std::string replay = Replay(m_root, kOpening);
    ASSERT_EQ(RunGame(m_root, m_game, "--frames 800 --lang ja" + replay + Snapshot(m_root, 780, "ja.bmp")), 0)
        << m_root.Read("err.txt");
    ExpectTrace(m_root, kData / "japanese.trace");
    const std::string bmp = m_root.Read("ja.bmp");
    const auto letters = [&bmp](int top, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = 160; x < 640; ++x)
                count += (BmpPixel(bmp, x, y) & 0xF0F0F0) == 0xF0F0F0 ? 1 : 0;
        return count;
    };
    EXPECT_GT(letters(468, 490), 500) << "the first line";
    EXPECT_GT(letters(490, 512), 300) << "the second line";
    EXPECT_EQ(letters(512, 580), 0) << "no third";

    const fs::path po = m_game / "lang" / "ja.po";
    std::string text = m_root.Read(po.string());
    const std::string crooked = "msgstr \"曲がったランタンだってちゃんと飛ぶよ。湖で待つ？それとも暗くなるまでここにいる？\"";
    ASSERT_NE(text.find(crooked), std::string::npos);
    text.replace(text.find(crooked), crooked.size(), "msgstr \"\"");
    std::ofstream(po, std::ios::binary | std::ios::trunc) << text;
    fs::remove_all(m_root.File("user"));
    ASSERT_EQ(RunGame(m_root, m_game, "--frames 700 --lang ja" + replay), 0) << m_root.Read("err.txt");
    const std::string trace = m_root.Read("trace.txt");
    EXPECT_NE(trace.find("384 text トビ！ここにいたのね。"), std::string::npos) << trace;
    EXPECT_NE(trace.find("660 text Crooked lanterns fly just as well. Shall we wait at the lake, or here until dark?"),
              std::string::npos)
        << trace;
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
    for (const char* file : {"data.pak", "icon.png", "readme.txt", "fonts/dejavu.ttf", "fonts/cjk.ttf"})
        fs::copy_file(m_game / file, shipped / file);
    std::ofstream(shipped / "preferences.ini") << "[engine]\ncodepage=CP1252\n\n[archives]\n1=data.pak\n";

    ASSERT_EQ(Play(m_game, kOpening, 1000, {"1000:loose.bmp"}), 0) << m_root.Read("err.txt");
    const std::string looseTrace = m_root.Read("trace.txt");
    fs::remove_all(m_root.File("user"));
    ASSERT_EQ(Play(shipped, kOpening, 1000, {"1000:packed.bmp"}), 0) << m_root.Read("err.txt");

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
    ASSERT_FALSE(m_root.Read("window.bmp").empty());
    ExpectPixels(m_root, kData / "window.pixels");
}

} // namespace
