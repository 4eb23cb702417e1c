// End-to-end runs of what a player keeps: a save brings back the pose a character had when it was saved, the
// save/load screen dates the save in its style's colour, and each game keeps its files in its own folder under the
// documents folder, named by its id or else by its game folder; the player's preferences survive a restart.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace Vel::TestTools;

// A headless run as a player starts it: no --user-dir, the documents folder inside root/home.
int RunAsPlayer(const TempFolder& root, const fs::path& game, const std::string& options)
{
    return Status("HOME='" + root.File("home") + "' XDG_CONFIG_HOME='" + root.File("config") + "' '" + VEL_ENGINE +
                  "' '" + game.string() + "' --headless " + options + " 2>'" + root.File("err.txt") + "' >/dev/null");
}

TEST(PlayerFilesRunTest, ASaveKeepsThePoseDatesInTheStyleColourAndEachGameHasItsOwnFolder)
{
    TempFolder root;
    const fs::path game = CopyGame(root, "sv_poses");
    ASSERT_EQ(RunAsPlayer(root, game,
                          "--frames 240" + Replay(root, game / "tools/save_change_load.replay") +
                              Snapshot(root, 110, "angry.bmp") + Snapshot(root, 160, "slots.bmp") +
                              Snapshot(root, 220, "loaded.bmp")),
              0)
        << root.Read("err.txt");
    ExpectTrace(root, game / "expected/save_load.trace");
    const std::string slots = root.Read("slots.bmp");
    int yellow = 0; // the font's magenta letters drawn in yellow come out red
    for (int y = 92; y < 104; ++y)
        for (int x = 0; x < 160; ++x)
            yellow += BmpPixel(slots, x, y) == 0xFF0000 ? 1 : 0;
    EXPECT_GT(yellow, 40) << "the date under the thumbnail is drawn in the style's yellow";
    const fs::path velloria = root.Path() / "home/Documents/Velloria";
    for (const char* file : {"sys1.dfn", "screenshots/00000001.bmp", "save/00000001.bmp", "save/00000001.sav"})
        EXPECT_TRUE(fs::exists(velloria / "sv.poses-1" / file)) << file;

    // A game without an id is named by its folder, made safe for a file name.
    const fs::path other = root.Path() / "Other Game";
    fs::rename(game, other);
    std::string system = root.Read("Other Game/system.vls");
    system.erase(system.find(", id=sv.poses-1"), std::string(", id=sv.poses-1").size());
    root.Write("Other Game/system.vls", system);
    ASSERT_EQ(RunAsPlayer(root, other,
                          "--frames 70" + Replay(root, other / "tools/load_screen.replay") +
                              Snapshot(root, 60, "other.bmp")),
              0)
        << root.Read("err.txt");
    ExpectPixels(root, other / "expected/save_load.pixels");
    EXPECT_TRUE(fs::exists(velloria / "Other_Game/sys1.dfn"));
    EXPECT_TRUE(fs::exists(velloria / "sv.poses-1/save/00000001.sav"));
    EXPECT_EQ(std::distance(fs::directory_iterator(velloria), fs::directory_iterator()), 2) << "no other folder";
}

TEST(PlayerFilesRunTest, PreferencesSurviveARestartAndTheRememberedScreenModeWinsOverTheScript)
{
    TempFolder root;
    const fs::path game = CopyGame(root, "prefs");
    root.Write("user/settings.ini", "[player]\nautosave=maybe\n");
    ASSERT_EQ(RunGame(root, game, "--desktop 1920x1080 --frames 200" + Replay(root, game / "tools/set.replay")), 0)
        << root.Read("err.txt");
    ExpectTrace(root, game / "expected/set.trace");
    EXPECT_THAT(root.Read("prefs/engine.log"), testing::HasSubstr("settings.ini: autosave=maybe"));
    for (const char* kept : {"textspeed=10\n", "autosave=yes\n", "fullscreen=yes\n"})
        EXPECT_THAT(root.Read("user/settings.ini"), testing::HasSubstr(kept));

    // The replay clicks where the start button is only on the full screen.
    ASSERT_EQ(RunGame(root, game, "--desktop 1920x1080 --frames 60" + Replay(root, game / "tools/story.replay")), 0)
        << root.Read("err.txt");
    ExpectTrace(root, game / "expected/story.trace");
}

} // namespace
