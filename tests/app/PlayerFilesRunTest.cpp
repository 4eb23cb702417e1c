// End-to-end runs of what a player keeps: a save brings back the pose a character had when it was saved, the
// save/load screen dates the save in its style's colour, and each game keeps its files in its own folder under the
// documents folder, named by its id or else by its game folder.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace Vel::TestTools;

constexpr std::uint32_t kYellowLetters = 0xFF0000; // the font's magenta letters drawn in yellow
constexpr std::uint32_t kEmpty = 0xFFFF00;

// A headless run as a player starts it: no --user-dir, the documents folder inside root/home.
int RunAsPlayer(const TempFolder& root, const fs::path& game, const std::string& options)
{
    return Status("HOME='" + root.File("home") + "' XDG_CONFIG_HOME='" + root.File("config") + "' '" + VEL_ENGINE +
                  "' '" + game.string() + "' --headless " + options + " 2>'" + root.File("err.txt") + "' >/dev/null");
}

int Count(const std::string& bmp, int x1, int y1, int x2, int y2, std::uint32_t colour)
{
    int count = 0;
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x)
            count += BmpPixel(bmp, x, y) == colour ? 1 : 0;
    return count;
}

std::set<std::string> Entries(const fs::path& folder)
{
    std::set<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(PlayerFilesRunTest, ASaveKeepsThePoseDatesInTheStyleColourAndEachGameHasItsOwnFolder)
{
    TempFolder root;
    const fs::path game = CopyGame(root, "sv_poses");
    ASSERT_EQ(RunAsPlayer(root, game,
                          "--frames 240" + Replay(root, game / "tools/save_change_load.replay") +
                              Snapshot(root, 110, "angry.bmp") +
                              Snapshot(root, 160, "slots.bmp") + Snapshot(root, 220, "loaded.bmp")),
              0)
        << root.Read("err.txt");
    const fs::path velloria = root.Path() / "home/Documents/Velloria";
    const std::string save = (velloria / "sv.poses-1/save/00000001.sav").string();
    ExpectTrace(root, game / "expected/save_load.trace");
    ExpectPixels(root, game / "expected/save_load.pixels");
    const std::string slots = root.Read("slots.bmp");
    EXPECT_GT(Count(slots, 0, 92, 160, 104, kYellowLetters), 40) << "the date is drawn in the style's yellow";
    for (const char* file : {"sys1.dfn", "screenshots/00000001.bmp", "save/00000001.bmp"})
        EXPECT_TRUE(fs::exists(velloria / "sv.poses-1" / file)) << file;

    // A game without an id is named by its folder, made safe for a file name; it is not offered the other's save.
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
    EXPECT_EQ(BmpPixel(root.Read("other.bmp"), 120, 110), kEmpty);
    EXPECT_EQ(Entries(velloria), (std::set<std::string>{"Other_Game", "sv.poses-1"}));
    EXPECT_TRUE(fs::exists(velloria / "Other_Game/sys1.dfn"));
    EXPECT_TRUE(fs::exists(save));
}

} // namespace
