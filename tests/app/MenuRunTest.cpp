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

TEST(MenuRunTest, MenusLeadIntoTheStoryAndThePauseMenuHoldsTheVoice)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "menus");
    ASSERT_TRUE(WriteTone((game / "tune.wav").string(), 10.0, 440.0, 0.5));
    ASSERT_TRUE(WriteTone((game / "line.wav").string(), 3.0, 880.0, 0.5));
    ASSERT_EQ(RunGame(root, game,
                      "--frames 260" + Replay(root, game / "tools" / "menus.replay") + " --audio-out '" +
                          root.File("out.wav") + "'" + Snapshot(root, 20, "main.bmp") +
                          Snapshot(root, 190, "full.bmp")),
              0)
        << root.Read("err.txt");
    ExpectTrace(root, game / "expected" / "menus.trace");

    // The music plays at 0.3 until the slider sets 2 (0.2); the voice (at full volume) joins it, stands still while
    // the pause menu is open and goes on once the game is back.
    const LevelMeter meter = ReadRendered(root.File("out.wav"));
    EXPECT_NEAR(LevelAt(meter, 0.5), 0.5 * 0.3, 0.01);
    EXPECT_NEAR(LevelAt(meter, 1.5), 0.5 * 0.2, 0.01);
    const double withVoice = std::sqrt(0.5 * 0.5 + 0.1 * 0.1);
    EXPECT_NEAR(LevelAt(meter, 2.2), withVoice, 0.02);
    EXPECT_NEAR(LevelAt(meter, 3.0), 0.1, 0.01);
    EXPECT_NEAR(LevelAt(meter, 3.9), withVoice, 0.02);

    ASSERT_GT(root.Read("full.bmp").size(), 1920u * 1080u * 3u);
    ExpectPixels(root, game / "expected" / "menus.pixels");
}

} // namespace
