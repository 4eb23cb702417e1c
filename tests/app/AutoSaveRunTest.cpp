// End-to-end runs of the auto saves and "continue" over one save folder: a story whose every choice, and whose end,
// writes an auto save, rotating them through auto-1 to auto-3; a title that offers Continue only once there is a
// save, and whose buttons the keyboard's focus presses; the save/load screen listing the quick and auto saves before
// the numbered one; an auto save that cannot be written, which leaves the older ones as they were; and "continue"
// loading whichever save was written last. With the player's preference off, no auto save is written.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace Vel::TestTools;

TEST(AutoSaveRunTest, AutoSavesRotateAFailedOneKeepsThemAndContinueLoadsTheNewestSave)
{
    TempFolder root;
    const fs::path game = CopyGame(root, "autosave");
    const fs::path expected = game / "expected";
    RunReplay(root, game, 330, "story");
    ExpectTrace(root, expected / "story.trace");
    EXPECT_FALSE(fs::exists(root.File("user/save/auto-4.sav"))) << "three auto saves at most";

    // The next auto save's temporary file cannot be written: a folder holds its name.
    fs::create_directory(root.File("user/save/auto.new"));
    std::string before;
    for (const char* save : {"auto-1.sav", "auto-2.sav", "auto-3.sav"})
        before += root.Read(std::string("user/save/") + save);
    ASSERT_EQ(RunGame(root, game,
                      "--frames 200" + Replay(root, game / "tools" / "focus.replay") +
                          Snapshot(root, 25, "focus-25.bmp") + Snapshot(root, 35, "focus-35.bmp") +
                          Snapshot(root, 45, "focus-45.bmp") + Snapshot(root, 110, "focus-110.bmp")),
              0)
        << root.Read("err.txt");
    ExpectTrace(root, expected / "focus.trace");
    ExpectPixels(root, expected / "focus.pixels");
    std::string after;
    for (const char* save : {"auto-1.sav", "auto-2.sav", "auto-3.sav"})
        after += root.Read(std::string("user/save/") + save);
    EXPECT_EQ(after, before);
    EXPECT_NE(root.Read("autosave/engine.log").find("Cannot write the auto save"), std::string::npos);
    fs::remove(root.File("user/save/auto.new"));

    // Whichever save was written last, by its file's time.
    int hours = 1;
    for (const char* newest : {"quick.sav", "00000001.sav"}) {
        SCOPED_TRACE(newest);
        const std::string path = root.File(std::string("user/save/") + newest);
        fs::last_write_time(path, fs::file_time_type::clock::now() + std::chrono::hours(hours++));
        RunReplay(root, game, 50, "continue");
        EXPECT_NE(root.Read("trace.txt").find("32 load " + path + "\n"), std::string::npos) << root.Read("trace.txt");
    }
    EXPECT_EQ(BmpPixel(root.Read("user/save/auto-1.bmp"), 160, 120), 0x0000A0u)
        << "the end's thumbnail is of the first scene, without the menu open over it";

    // With the player's preference off, the end writes none.
    root.Write("user/settings.ini", "[player]\nautosave=no\n");
    RunReplay(root, game, 50, "continue");
    EXPECT_EQ(root.Read("trace.txt").find(" save "), std::string::npos) << root.Read("trace.txt");
}

} // namespace
