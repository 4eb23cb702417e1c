// End-to-end run of a game's menus: the start scene opens the main menu; its buttons open the options menu, whose
// slider lowers the music, go back and start the story; a right click during the story opens the pause menu, which
// pauses the voice, switches to full screen and goes back to the game, where the voice goes on.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
                          root.File("out.wav") + "'" + Snapshot(root, 7, "edge.bmp") +
                          Snapshot(root, 10, "outside.bmp") + Snapshot(root, 20, "main.bmp") +
                          Snapshot(root, 190, "full.bmp")),
              0)
        << root.Read("err.txt");
    ExpectTrace(root, game / "expected" / "menus.trace");

    ExpectLevels(ReadRendered(root.File("out.wav")), game / "expected" / "levels.txt");
    ASSERT_GT(root.Read("full.bmp").size(), 1920u * 1080u * 3u);
    ExpectPixels(root, game / "expected" / "menus.pixels");
}

// Text buttons: their labels in the idle and the hover style, over a stretched picture or a nine-slice frame; the
// mouse and the keyboard's focus lighting and pressing them; an interface's text button owning its click; a
// nine-slice picture too small for its borders named in the log.
TEST(MenuRunTest, TextButtonsLightAndPressAsEachReplayExpects)
{
    const std::filesystem::path data = std::filesystem::path(VEL_TEST_GAMES) / "textbuttons";
    const std::vector<std::string> runs = DataLines(data / "expected/runs.txt");
    ASSERT_EQ(runs.size(), 3u);
    for (const std::string& line : runs) {
        SCOPED_TRACE(line);
        TempFolder root;
        std::string name;
        const std::string options = RunRowOptions(root, line, name);
        const std::filesystem::path game = CopyGame(root, "textbuttons");
        std::filesystem::copy_file(data.parent_path() / "unicode" / "fonts" / "sans.ttf", game / "fonts" / "sans.ttf");
        ASSERT_EQ(RunGame(root, game, options + Replay(root, game / "tools" / (name + ".replay"))), 0)
            << root.Read("err.txt");
        ExpectRun(root, data / "expected", name);
        // Only the run that draws the nine-slice picture whose borders do not fit names it, and nothing else.
        EXPECT_EQ(root.Read("textbuttons/engine.log").find("Nine-slice picture 'toowide'") != std::string::npos,
                  name == "hud")
            << root.Read("textbuttons/engine.log");
    }
}

// The check measures nine-slice pictures: the one too small for its borders is a warning at its line, so --strict
// fails; a missing file is the usual missing-picture finding and leaves no engine.log behind.
TEST(MenuRunTest, CheckNamesANineSlicePictureTooSmallForItsBordersAtItsLine)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "textbuttons");
    std::filesystem::copy_file(std::filesystem::path(VEL_TEST_GAMES) / "unicode" / "fonts" / "sans.ttf",
                               game / "fonts" / "sans.ttf");
    root.Write("textbuttons/script.vls",
               root.Read("textbuttons/script.vls") + "nineslice(gone, file=gone.png, border=1:1:1:1)\n");
    EXPECT_EQ(Engine(root, "check --strict '" + game.string() + "'"), 1);
    EXPECT_EQ(root.Read("err.txt"), "script.vls:8: warning: nine-slice picture 'toowide': its borders are larger than "
                                    "'plate.png' (8 x 8); it will be drawn stretched whole\n"
                                    "script.vls:54: warning: picture file 'gone.png' is missing from the game folder "
                                    "and the archives\n0 errors, 2 warnings\n");
    EXPECT_FALSE(std::filesystem::exists(game / "engine.log"));
}

} // namespace
