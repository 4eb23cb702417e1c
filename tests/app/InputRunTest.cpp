// End-to-end run of the player's input: the title's picture shows under its main menu; taps without a resting mouse
// press menu buttons; Escape goes back from the options menu and from the right-click menu but leaves the main menu
// alone; one click ends one thing (a speech, then the pause after it; a choice, then what follows it across a jump:
// another choice, a text, a speech, the same choice again); and the save notice fades over a game that goes on.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace Vel::TestTools;

// Main menu: story (20..120, 20..50), options (20..120, 80..110); options menu: back (200..300, 20..50); pause
// menu: save (20..120, 20..50), back to the game (20..120, 80..110). Choices: One (20..120, 20..40), Two
// (200..300, 20..40), Three (20..120, 100..120), Again (200..300, 100..120). Every click is a tap: the mouse was
// not over the button before.
const std::string kInput = "20 click 70 95\n40 key escape\n60 key escape\n80 click 70 35\n" // options, back, stay
                           "100 click 200 200\n120 click 200 200\n140 click 200 200\n"      // speech, pause, text
                           "160 click 70 30\n180 click 250 30\n200 click 200 200\n"         // One, Two, a text
                           "220 click 200 200\n240 key rbutton\n260 click 70 35\n"          // a speech; save
                           "285 click 70 95\n320 key rbutton\n340 key escape\n"             // back; Escape
                           "360 click 250 110\n380 click 70 110\n";                         // Again, Three

// The frame of the first trace line that contains the text, or -1.
int FrameOf(const std::string& trace, const std::string& text)
{
    const std::size_t found = trace.find(text);
    return found == std::string::npos ? -1 : std::stoi(trace.substr(trace.rfind('\n', found) + 1));
}

TEST(InputRunTest, TapsEscapeAndClicksEachActOnceAndTheSaveNoticeHoldsNothing)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "in_input");
    ASSERT_EQ(RunGame(root, game,
                      "--frames 400" + Replay(root, kInput) + Snapshot(root, 10, "title.bmp") +
                          Snapshot(root, 300, "notice.bmp")),
              0)
        << root.Read("err.txt");
    const std::string trace = root.Read("trace.txt");
    ExpectInOrder(trace, {"20 menu optionsmenu\n", "40 menuclosed optionsmenu\n", "80 menuclosed mainmenu\n",
                          "80 scene talk\n", "100 command talk 1 ", "160 scene second\n", "180 scene reading\n",
                          "200 scene speaking\n", "220 scene last\n", "240 menu pausemenu\n", "260 save ",
                          "285 menuclosed pausemenu\n", "320 menu pausemenu\n", "340 menuclosed pausemenu\n",
                          "360 scene last\n", "380 scene done\n"});
    EXPECT_GE(FrameOf(trace, " command talk 2 "), 120) << "the click that ended the speech also ended the pause";
    EXPECT_EQ(trace.find(" menu pausemenu\n"), trace.find("240 menu pausemenu\n") + 3) << "no menu over the main menu";

    EXPECT_EQ(BmpPixel(root.Read("title.bmp"), 200, 200), 0x205080u) << "the title's picture under its menu";
    EXPECT_EQ(BmpPixel(root.Read("notice.bmp"), 250, 210), 0x00FF00u) << "the notice over the game";
}

} // namespace
