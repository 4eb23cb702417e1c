// End-to-end run of a game's menus: the start scene opens the main menu; its buttons open the options menu, whose
// slider lowers the music, go back and start the story; a right click during the story opens the pause menu, which
// pauses the voice, switches to full screen and goes back to the game, where the voice goes on.
#include "AudioTools.h"
#include "GameRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using Vel::TestTools::BmpPixel;

constexpr int kRate = 44100;

// Buttons take a click once the mouse has rested on them; window pixels are game pixels until the switch to full
// screen, where the 320 x 240 game fills 1440 x 1080 of the 1920 x 1080 desktop from x = 240 on.
constexpr const char* kInput = "30 move 90 115\n"
                               "32 click 90 115\n" // main menu: options
                               "60 move 45 55\n"
                               "62 click 45 55\n" // options: the music slider's third box, volume 2
                               "90 move 90 195\n"
                               "92 click 90 195\n" // options: back
                               "120 move 90 55\n"
                               "122 click 90 55\n" // main menu: start the story
                               "150 down rbutton\n"
                               "151 up rbutton\n" // the pause menu
                               "178 move 160 180\n"
                               "182 click 160 180\n" // pause menu: full screen
                               "208 move 960 540\n"
                               "212 click 960 540\n"; // pause menu: back to the game

double LevelAt(const Vel::TestTools::LevelMeter& meter, double seconds)
{
    return meter.Level(static_cast<std::size_t>(seconds * kRate), kRate / 10);
}

TEST(MenuRunTest, MenusLeadIntoTheStoryAndThePauseMenuHoldsTheVoice)
{
    Vel::TestTools::TempFolder root;
    const std::filesystem::path game = Vel::TestTools::CopyGame(root, "menus");
    ASSERT_TRUE(Vel::TestTools::WriteTone((game / "tune.wav").string(), 10.0, 440.0, 0.5));
    ASSERT_TRUE(Vel::TestTools::WriteTone((game / "line.wav").string(), 3.0, 880.0, 0.5));
    root.Write("input.txt", kInput);
    ASSERT_EQ(Vel::TestTools::RunGame(root, game,
                                      "--frames 260 --input '" + root.File("input.txt") + "' --trace '" +
                                          root.File("trace.txt") + "' --audio-out '" + root.File("out.wav") +
                                          "' --snapshot '20:" + root.File("main.bmp") +
                                          "' --snapshot '190:" + root.File("full.bmp") + "'"),
              0)
        << root.Read("err.txt");

    const std::string trace = root.Read("trace.txt");
    std::size_t at = 0;
    for (const char* line :
         {" menu mainmenu\n", " menu optionsmenu\n", " menuclosed optionsmenu\n", " menuclosed mainmenu\n",
          " scene story\n", " menu pausemenu\n", " menuclosed pausemenu\n"}) {
        const std::size_t found = trace.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << trace;
        at = found;
    }

    // The music plays at 0.3 until the slider sets 2 (0.2); the voice (at full volume) joins it, stands still while
    // the pause menu is open and goes on once the game is back.
    const Vel::TestTools::LevelMeter meter = Vel::TestTools::ReadRendered(root.File("out.wav"));
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
