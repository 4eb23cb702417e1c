// "velloria new" as a new author meets it: the starter game passes the strict check at any size, plays from its
// title menu through its choice to either ending by keyboard alone, and a folder that is not empty is left as it was.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace Vel::TestTools;
using ::testing::HasSubstr;

// Down and Enter press the title's Start; Space goes through the lines; the digit picks an entry of the choice.
std::string ChoosingReplay(char entry)
{
    return "10 key down\n12 key enter\n150 key space\n250 key space\n350 key space\n450 key space\n550 key " +
           std::string(1, entry) + "\n650 key space\n750 key space\n";
}

TEST(NewGameRunTest, TheStarterIsCleanAtAnySizeAndPlaysToBothEndings)
{
    struct Case
    {
        const char* arguments;
        const char* system; // in system.vls
        char entry;
        const char* ending;
    };
    for (const Case& run : {Case{"", "game_init(title=\"mygame\"", '1', "The end by the river."},
                            // A Japanese title brings the face of its letters: the strict check finds none missing.
                            Case{" --title '雨のち晴れ, then sun' --size 1280x720",
                                 "resolution=1280:720, fullscreen=0)\n# id names the player's folder of saves and "
                                 "settings: ~/Documents/Velloria/then-sun/.\ngame_init(title=\"雨のち晴れ, then sun\"",
                                 '2', "The end on the hill."}}) {
        SCOPED_TRACE(run.arguments);
        TempFolder root;
        const fs::path game = root.Path() / "mygame";
        ASSERT_EQ(Engine(root, "new '" + game.string() + "'" + run.arguments), 0) << root.Read("err.txt");
        EXPECT_THAT(root.Read("mygame/system.vls"), HasSubstr(run.system));
        ASSERT_EQ(Engine(root, "check --strict '" + game.string() + "'"), 0) << root.Read("err.txt");
        EXPECT_EQ(root.Read("err.txt"), "");

        root.Write("choose.replay", ChoosingReplay(run.entry));
        ASSERT_EQ(RunGame(root, game, "--frames 800" + Replay(root, root.Path() / "choose.replay")), 0)
            << root.Read("err.txt");
        const std::string trace = root.Read("trace.txt");
        EXPECT_THAT(trace, HasSubstr("text Two roads go on from here. Which one shall we take?\n"));
        EXPECT_THAT(trace, HasSubstr("text " + std::string(run.ending)));
        // After the ending the title comes back, now with Continue: the choice wrote an auto save.
        EXPECT_THAT(trace, HasSubstr("scene title\n"));
        EXPECT_THAT(trace, HasSubstr("menu continuemenu\n"));
    }
}

TEST(NewGameRunTest, AFolderThatIsNotEmptyIsRefusedAndLeftAsItWas)
{
    TempFolder root;
    root.Write("mine/notes.txt", "my notes");
    EXPECT_EQ(Engine(root, "new '" + root.File("mine") + "'"), 1);
    EXPECT_THAT(root.Read("err.txt"), HasSubstr(root.File("mine") + " is not an empty folder; nothing was written"));
    std::size_t entries = 0;
    for (const auto& entry : fs::recursive_directory_iterator(root.Path()))
        entries += entry.path().filename() == "err.txt" ? 0 : 1;
    EXPECT_EQ(entries, 2u); // mine/ and its notes, no half-made game beside them
    EXPECT_EQ(root.Read("mine/notes.txt"), "my notes");
}

} // namespace
