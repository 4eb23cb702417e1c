// End-to-end run of TrueType text in several scripts (tests/games/unicode): Japanese wrapped at ideographs, Latin
// with combining accents, Arabic with digits, a shaped Devanagari word, an emoji typed as one step, a fallback face,
// and a bitmap style beside them, checked by the pixels each draws where it should and nowhere else.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using namespace Vel::TestTools;

// Checks the table of expected/ink.txt: how many pixels of each rectangle of a snapshot are not black.
void ExpectInk(const TempFolder& root, const std::filesystem::path& table)
{
    for (const std::string& line : DataLines(table)) {
        std::istringstream fields(line);
        std::string file;
        int x0 = 0, y0 = 0, x1 = 0, y1 = 0, least = 0, most = 0;
        fields >> file >> x0 >> y0 >> x1 >> y1 >> least >> most;
        const std::string bmp = root.Read(file);
        int ink = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                ink += BmpPixel(bmp, x, y) != 0 ? 1 : 0;
        EXPECT_TRUE(ink >= least && ink <= most) << line << ": " << ink;
    }
}

TEST(UnicodeRunTest, EachScriptIsShapedBrokenOrderedAndTypedByItsRules)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "unicode");
    // The texts start on the first frame; speed 1 types three clusters a second. The history opens at frame 80.
    ASSERT_EQ(RunGame(root, game,
                      "--frames 90" + Replay(root, game / "tools" / "history.replay") + Snapshot(root, 30, "one.bmp") +
                          Snapshot(root, 50, "two.bmp") + Snapshot(root, 70, "three.bmp") +
                          Snapshot(root, 75, "whole.bmp") + Snapshot(root, 88, "history.bmp")),
              0)
        << root.Read("err.txt");
    ExpectInk(root, game / "expected" / "ink.txt");
    // Three letters of the Arabic word typed look exactly as those three shown whole, 30 pixels below.
    const std::string three = root.Read("three.bmp");
    int ink = 0;
    int differing = 0;
    for (int y = 130; y < 160; ++y)
        for (int x = 160; x < 320; ++x) {
            ink += BmpPixel(three, x, y) != 0 ? 1 : 0;
            differing += BmpPixel(three, x, y) != BmpPixel(three, x, y + 30) ? 1 : 0;
        }
    EXPECT_GT(ink, 40);
    EXPECT_EQ(differing, 0);
    // Named once though two texts have it; the fallback face's character is no missing one.
    const std::string log = root.Read("unicode/engine.log");
    EXPECT_THAT(log, ::testing::HasSubstr("U+1F44D"));
    EXPECT_EQ(log.find("U+1F44D"), log.rfind("U+1F44D"));
    EXPECT_THAT(log, ::testing::HasSubstr("U+1F3FD"));
    EXPECT_THAT(log, ::testing::HasSubstr("fonts/nofont.ttf"));
    EXPECT_THAT(log, ::testing::Not(::testing::HasSubstr("U+6F22")));
}

// The check judges a TrueType style's texts by its faces and fallbacks, not by the code page, takes a ".ttf"
// without a ".fnt" as the font, and names a fallback face that is missing.
TEST(UnicodeRunTest, TheCheckNamesOnlyCharactersThatNoFaceOfTheStyleHas)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "unicode");
    EXPECT_EQ(Engine(root, "check '" + game.string() + "'"), 0);
    EXPECT_EQ(root.Read("err.txt"),
              "script.vls:6: warning: fallback font 'nofont': fonts/nofont.ttf is missing from the game folder and the "
              "archives\n"
              "script.vls:28: warning: text has characters that no font of the style 'latin' has, which appear as "
              "missing-glyph boxes: 👍, 🏽\n"
              "script.vls:29: warning: text has characters that no font of the style 'mixed' has, which appear as "
              "missing-glyph boxes: 👍\n"
              "0 errors, 3 warnings\n");
}

// The save/load screen's dates in a TrueType style: the player files game with its date style on a face.
TEST(UnicodeRunTest, SaveDatesDrawInATrueTypeStyle)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "sv_poses");
    std::filesystem::copy_file(std::filesystem::path(VEL_TEST_GAMES) / "unicode/fonts/sans.ttf",
                               game / "fonts/font1.ttf");
    root.Write("sv_poses/script.vls",
               root.Read("sv_poses/script.vls") + "style(date, font=font1, size=12, color=ffff00)\n");
    ASSERT_EQ(RunGame(root, game,
                      "--frames 170" + Replay(root, game / "tools/save_change_load.replay") +
                          Snapshot(root, 160, "slots.bmp")),
              0)
        << root.Read("err.txt");
    const std::string slots = root.Read("slots.bmp");
    int yellow = 0;
    int red = 0; // what the bitmap font's letters would give
    for (int y = 90; y < 110; ++y)
        for (int x = 0; x < 160; ++x) {
            const std::uint32_t pixel = BmpPixel(slots, x, y);
            yellow += pixel == 0xFFFF00 ? 1 : 0;
            red += pixel == 0xFF0000 ? 1 : 0;
        }
    EXPECT_GT(yellow, 20);
    EXPECT_EQ(red, 0);
}

} // namespace
