// End-to-end run of saving and loading: the story is saved from the right-click menu, played on (its trigger
// changes), then the save is picked on the save/load screen and loaded, which puts the story back where it was with
// the trigger it had; at last the save is deleted and the screen shows its empty-list picture.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

using namespace Vel::TestTools;

constexpr std::uint32_t kRoomOne = 0x0000A0;
constexpr std::uint32_t kRoomTwo = 0x00A000;
constexpr std::uint32_t kSlots = 0x003030;
constexpr std::uint32_t kEmpty = 0xFFFF00;

// Buttons take a click once the mouse has rested on them. Pause menu: save (20..120, 20..60), load (20..120,
// 80..120), back to the game (20..120, 140..180). The save/load screen's first thumbnail lies at (40..120, 30..90);
// its choice menu: load (200..300, 20..60), delete (200..300, 80..120).
const std::string kInput = "30 key rbutton\n" + Press(40, 70, 40) + Press(70, 70, 160) + // save in room one; back
                           "100 click 200 200\n130 key rbutton\n" +      // on into room two, "visited" = two
                           Press(140, 70, 100) + Press(170, 80, 60) +    // the save/load screen; pick the save
                           Press(200, 250, 40) + "240 click 200 200\n" + // load it; on, "visited" is one again
                           "260 key rbutton\n" + Press(270, 70, 100) +   // the save/load screen again
                           Press(300, 80, 60) + Press(330, 250, 100);    // pick the save; delete it

TEST(SaveRunTest, ALoadedSaveBringsTheStoryBackAndADeletedOneLeavesTheEmptyList)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "saves");
    ASSERT_EQ(RunGame(root, game,
                      "--frames 350" + Replay(root, kInput) + Snapshot(root, 110, "two.bmp") +
                          Snapshot(root, 160, "slots.bmp") + Snapshot(root, 220, "loaded.bmp") +
                          Snapshot(root, 345, "deleted.bmp")),
              0)
        << root.Read("err.txt");

    const std::string save = root.File("user/save/00000001.sav");
    const std::string trace = root.Read("trace.txt");
    ExpectInOrder(trace, {"42 save " + save + "\n", "101 scene two\n", "202 load " + save + "\n", "202 scene one\n",
                          "202 command one 2 Pause\n", "241 scene two\n"});
    EXPECT_EQ(trace.find("scene wrong"), std::string::npos) << "the loaded trigger decides the way on: " << trace;

    EXPECT_EQ(BmpPixel(root.Read("two.bmp"), 160, 200), kRoomTwo);
    // The save/load screen lists the save by its thumbnail, taken of room one without the menu.
    const std::string slots = root.Read("slots.bmp");
    EXPECT_EQ(BmpPixel(slots, 10, 10), kSlots);
    EXPECT_EQ(BmpPixel(slots, 80, 60), kRoomOne);
    EXPECT_EQ(BmpPixel(root.Read("loaded.bmp"), 160, 200), kRoomOne);

    // Deleted: both files are gone and the screen shows its empty-list picture.
    EXPECT_FALSE(std::filesystem::exists(save));
    EXPECT_FALSE(std::filesystem::exists(root.File("user/save/00000001.bmp")));
    const std::string deleted = root.Read("deleted.bmp");
    EXPECT_EQ(BmpPixel(deleted, 120, 110), kEmpty);
    EXPECT_EQ(BmpPixel(deleted, 80, 60), kSlots);
}

} // namespace
