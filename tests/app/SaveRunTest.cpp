// End-to-end run of saving and loading: the story is saved from the right-click menu, played on (its trigger
// changes), then the save is picked on the save/load screen and loaded, which puts the story back where it was with
// the trigger it had; at last the save is deleted and the screen shows its empty-list picture.
#include "GameRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

using Vel::TestTools::BmpPixel;

constexpr std::uint32_t kRoomOne = 0x0000A0;
constexpr std::uint32_t kRoomTwo = 0x00A000;
constexpr std::uint32_t kSlots = 0x003030;
constexpr std::uint32_t kEmpty = 0xFFFF00;

// Buttons take a click once the mouse has rested on them. Pause menu: save (20..120, 20..60), load (20..120,
// 80..120), back to the game (20..120, 140..180). The save/load screen's first thumbnail lies at (40..120, 30..90);
// its choice menu: load (200..300, 20..60), delete (200..300, 80..120).
constexpr const char* kInput = "30 key rbutton\n"
                               "40 move 70 40\n42 click 70 40\n"   // save in room one, "visited" = one
                               "70 move 70 160\n72 click 70 160\n" // back to the game
                               "100 click 200 200\n"               // on into room two, "visited" = two
                               "130 key rbutton\n"
                               "140 move 70 100\n142 click 70 100\n" // the save/load screen
                               "170 move 80 60\n172 click 80 60\n"   // pick the save
                               "200 move 250 40\n202 click 250 40\n" // load it
                               "240 click 200 200\n"                 // on: "visited" is one again, so room two
                               "260 key rbutton\n"
                               "270 move 70 100\n272 click 70 100\n"
                               "300 move 80 60\n302 click 80 60\n"
                               "330 move 250 100\n332 click 250 100\n"; // delete it

TEST(SaveRunTest, ALoadedSaveBringsTheStoryBackAndADeletedOneLeavesTheEmptyList)
{
    Vel::TestTools::TempFolder root;
    const std::filesystem::path game = Vel::TestTools::CopyGame(root, "saves");
    root.Write("input.txt", kInput);
    const auto snapshot = [&](int frame, const std::string& name) {
        return " --snapshot '" + std::to_string(frame) + ":" + root.File(name) + "'";
    };
    ASSERT_EQ(Vel::TestTools::RunGame(root, game,
                                      "--frames 350 --input '" + root.File("input.txt") + "' --trace '" +
                                          root.File("trace.txt") + "'" + snapshot(110, "two.bmp") +
                                          snapshot(160, "slots.bmp") + snapshot(220, "loaded.bmp") +
                                          snapshot(345, "deleted.bmp")),
              0)
        << root.Read("err.txt");

    const std::string save = root.File("user/save/00000001.sav");
    const std::string trace = root.Read("trace.txt");
    std::size_t at = 0;
    const std::string lines[] = {"42 save " + save + "\n", "101 scene two\n",           "202 load " + save + "\n",
                                 "202 scene one\n",        "202 command one 2 Pause\n", "241 scene two\n"};
    for (const std::string& line : lines) {
        const std::size_t found = trace.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << trace;
        at = found;
    }
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
