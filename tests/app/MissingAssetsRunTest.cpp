// The bundled demo played through its opening replay with every picture, sound, voice and font taken away: the
// story still runs to its save and its end, and "engine.log" names each missing file a few times at most rather
// than once a frame.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace Vel::TestTools;
using ::testing::HasSubstr;

TEST(MissingAssetsRunTest, TheDemoWithoutPicturesSoundsAndFontsPlaysOnAndNamesEachMissingFileAFewTimes)
{
    TempFolder root;
    const fs::path game = CopyDemo(root);
    for (const char* folder : {"pics", "menus", "sound", "voice", "fonts"})
        ASSERT_GT(fs::remove_all(game / folder), 0u) << folder;
    for (const char* file : {"font1.fnt", "font1.png"})
        ASSERT_TRUE(fs::remove(game / file)) << file;

    const std::string replay = std::string(VEL_DEMO_GAME) + "/tools/opening.replay";
    ASSERT_EQ(RunGame(root, game, "--frames 2400 --input '" + replay + "' --trace '" + root.File("trace.txt") + "'"), 0)
        << root.Read("err.txt");
    const std::string trace = root.Read("trace.txt");
    for (const char* step : {"scene lake", "save ", "scene the_end", "menu mainmenu"})
        EXPECT_THAT(trace, HasSubstr(step));

    const std::string log = root.Read("demo/engine.log");
    for (const char* file : {"pics/bg_meadow.png", "menus/main.png", "sound/theme.ogg", "voice/mira01.ogg",
                             "fonts/dejavu"})
        EXPECT_THAT(log, HasSubstr(file));
    std::map<std::string, int> repeats;
    std::istringstream lines(log);
    for (std::string line; std::getline(lines, line);)
        ++repeats[line];
    for (const auto& [line, count] : repeats)
        EXPECT_LE(count, 8) << line;
    EXPECT_LE(std::count(log.begin(), log.end(), '\n'), 200) << log;
}

} // namespace
