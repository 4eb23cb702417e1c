// End-to-end run of saving and loading: the story is saved from the right-click menu, played on (its trigger
// changes), then the save is picked on the save/load screen and loaded, which puts the story back where it was with
// the trigger it had; at last the save is deleted, the screen shows its empty-list picture, and its cancel button
// closes it. F5 and F9 keep and bring back the one quick save, and act only while no menu covers the story.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

namespace {

using namespace Vel::TestTools;

TEST(SaveRunTest, ALoadedSaveBringsTheStoryBackAndADeletedOneLeavesTheEmptyList)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "saves");
    ASSERT_EQ(RunGame(root, game,
                      "--frames 380" + Replay(root, game / "tools" / "save_load_delete.replay") +
                          Snapshot(root, 110, "two.bmp") + Snapshot(root, 160, "slots.bmp") +
                          Snapshot(root, 171, "hover.bmp") + Snapshot(root, 220, "loaded.bmp") +
                          Snapshot(root, 345, "deleted.bmp") + Snapshot(root, 370, "closed.bmp")),
              0)
        << root.Read("err.txt");

    ExpectTrace(root, game / "expected" / "save_load_delete.trace");
    ExpectPixels(root, game / "expected" / "save_load_delete.pixels");
    EXPECT_FALSE(std::filesystem::exists(root.File("user/save/00000001.sav"))) << "deleted";
    EXPECT_FALSE(std::filesystem::exists(root.File("user/save/00000001.bmp")));
}

TEST(SaveRunTest, TheQuickSaveIsReplacedWholeAndLoadsOnlyOverTheStory)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "saves");
    RunReplay(root, game, 300, "quick");
    ExpectTrace(root, game / "expected" / "quick.trace");
    ExpectPixels(root, game / "expected" / "quick.pixels");
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(root.File("user/save")))
        files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"auto-1.bmp", "auto-1.sav", "quick.bmp", "quick.sav"}))
        << "the end's auto save, no numbered save, no temporary left";
    EXPECT_EQ(root.Read("saves/engine.log").find("quick"), std::string::npos) << "F9 without a quick save is silent";
}

} // namespace
