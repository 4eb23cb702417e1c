// End-to-end run of a game's menus: the start scene opens the main menu; its buttons open the options menu, whose
// slider lowers the music, go back and start the story; a right click during the story opens the pause menu, which
// pauses the voice, switches to full screen and goes back to the game, where the voice goes on.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>

namespace {

using namespace Vel::TestTools;

// Buttons take a click once the mouse has rested on them; window pixels are game pixels until the switch to full
// screen, where the 320 x 240 game fills 1440 x 1080 of the 1920 x 1080 desktop from x = 240 on.
const std::string kInput = Press(30, 90, 115) + Press(60, 45, 55) +  // main menu: options; the music slider: 2
                           Press(90, 90, 195) + Press(120, 90, 55) + // options: back; main menu: start the story
                           "150 down rbutton\n151 up rbutton\n" +    // the pause menu
                           Press(178, 160, 180, 4) + Press(208, 960, 540, 4); // full screen; back to the game

TEST(MenuRunTest, MenusLeadIntoTheStoryAndThePauseMenuHoldsTheVoice)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "menus");
    ASSERT_TRUE(WriteTone((game / "tune.wav").string(), 10.0, 440.0, 0.5));
    ASSERT_TRUE(WriteTone((game / "line.wav").string(), 3.0, 880.0, 0.5));
    ASSERT_EQ(RunGame(root, game,
                      "--frames 260" + Replay(root, kInput) + " --audio-out '" + root.File("out.wav") + "'" +
                          Snapshot(root, 20, "main.bmp") + Snapshot(root, 190, "full.bmp")),
              0)
        << root.Read("err.txt");
    ExpectInOrder(root.Read("trace.txt"),
                  {" menu mainmenu\n", " menu optionsmenu\n", " menuclosed optionsmenu\n", " menuclosed mainmenu\n",
                   " scene story\n", " menu pausemenu\n", " menuclosed pausemenu\n"});

    // The music plays at 0.3 until the slider sets 2 (0.2); the voice (at full volume) joins it, stands still while
    // the pause menu is open and goes on once the game is back.
    const LevelMeter meter = ReadRendered(root.File("out.wav"));
    EXPECT_NEAR(LevelAt(meter, 0.5), 0.5 * 0.3, 0.01);
    EXPECT_NEAR(LevelAt(meter, 1.5), 0.5 * 0.2, 0.01);
    const double withVoice = std::sqrt(0.5 * 0.5 + 0.1 * 0.1);
    EXPECT_NEAR(LevelAt(meter, 2.2), withVoice, 0.02);
    EXPECT_NEAR(LevelAt(meter, 3.0), 0.1, 0.01);
    EXPECT_NEAR(LevelAt(meter, 3.9), withVoice, 0.02);

    const std::string main = root.Read("main.bmp");
    ASSERT_FALSE(main.empty());
    EXPECT_EQ(BmpPixel(main, 5, 5), 0x202020u);
    // Full screen on the 1920 x 1080 desktop: the pause menu in the middle, black bars at the sides.
    const std::string full = root.Read("full.bmp");
    ASSERT_GT(full.size(), 1920u * 1080u * 3u);
    EXPECT_EQ(BmpPixel(full, 100, 540), 0u);
    EXPECT_EQ(BmpPixel(full, 1820, 540), 0u);
    EXPECT_EQ(BmpPixel(full, 300, 100), 0x400000u);
    EXPECT_EQ(BmpPixel(full, 1600, 1000), 0x400000u);
}

} // namespace
