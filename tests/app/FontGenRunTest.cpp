#include "RunTools.h"

#include <gtest/gtest.h>

#include <string>

namespace Vel {
namespace {

// The author tool as an author runs it: the files appear beside each other, and a mistake is one line on stderr.
TEST(FontGenRunTest, WritesTheFontAndItsSheetOrSaysWhyNot)
{
    TestTools::TempFolder folder;
    const auto run = [&](const std::string& arguments) { return TestTools::Engine(folder, "fontgen " + arguments); };
    const std::string dejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    // Into a game's font folder that does not exist yet.
    ASSERT_EQ(run("'" + dejaVu + "' 20 '" + folder.File("game/fonts/serif.fnt") + "' --codepage CP1251"), 0)
        << folder.Read("err.txt");
    EXPECT_EQ(folder.Read("err.txt"), "");
    const std::string description = folder.Read("game/fonts/serif.fnt");
    EXPECT_EQ(description.rfind("[HGEFONT]\n\nBitmap=serif.png\n", 0), 0u) << description;
    EXPECT_NE(description.find("\nChar=C6,"), std::string::npos) << "Cyrillic Zhe in CP1251";
    EXPECT_EQ(folder.Read("game/fonts/serif.png").substr(0, 8), "\x89PNG\r\n\x1A\n");

    EXPECT_EQ(run("'" + folder.File("none.ttf") + "' 20 '" + folder.File("none.fnt") + "'"), 1);
    EXPECT_EQ(folder.Read("err.txt"), "velloria fontgen: the font " + folder.File("none.ttf") + " does not exist\n");
    EXPECT_EQ(run("'" + dejaVu + "' 20 '" + folder.File("x.fnt") + "' --codepage KLINGON"), 1);
    EXPECT_EQ(folder.Read("err.txt"), "velloria fontgen: \"KLINGON\" is not a single-byte code page iconv knows\n");
    EXPECT_EQ(run("'" + dejaVu + "' big '" + folder.File("x.fnt") + "'"), 2) << "a usage mistake, as for every mode";
}

} // namespace
} // namespace Vel
