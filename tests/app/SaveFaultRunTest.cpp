// End-to-end runs of saving where the disk does not take the save: a user folder that cannot be made and a disk
// that is full. The game plays on, the saves already there are kept, and "engine.log" names the file that failed.
#include "GameRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// Pause menu: save (20..120, 20..60), back to the game (20..120, 140..180); buttons take a click once the mouse has
// rested on them.
constexpr const char* kSaveTwice = "30 key rbutton\n"
                                   "40 move 70 40\n42 click 70 40\n"
                                   "70 move 70 160\n72 click 70 160\n"
                                   "100 key rbutton\n"
                                   "110 move 70 40\n112 click 70 40\n"
                                   "140 move 70 160\n142 click 70 160\n";

// The lines of the text that hold the part.
int CountLines(const std::string& text, const std::string& part)
{
    int count = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        count += text.substr(start, end - start).find(part) != std::string::npos ? 1 : 0;
        start = end + 1;
    }
    return count;
}

// A headless run as RunGame makes it, through a shell that first limits the size of every file the engine writes
// to blocks of 512 bytes; a write past it fails as on a full disk.
int RunLimited(const Vel::TestTools::TempFolder& root, const fs::path& game, int blocks, const std::string& options)
{
    const std::string command = std::string("sh -c \"trap '' XFSZ; ulimit -f ") + std::to_string(blocks) + "; exec '" +
                                VEL_ENGINE + "' '" + game.string() + "' --headless --user-dir '" + root.File("user") +
                                "' " + options + "\" 2>'" + root.File("err.txt") + "' >/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(SaveFaultRunTest, AUserFolderThatCannotBeMadeLeavesTheGameRunningAndIsNamedInTheLog)
{
    Vel::TestTools::TempFolder root;
    const fs::path game = Vel::TestTools::CopyGame(root, "saves");
    // Not even the superuser can make a folder inside a regular file.
    root.Write("user", "a file where the user folder belongs");
    root.Write("input.txt", kSaveTwice);
    ASSERT_EQ(Vel::TestTools::RunGame(root, game,
                                      "--frames 180 --input '" + root.File("input.txt") + "' --trace '" +
                                          root.File("trace.txt") + "'"),
              0)
        << root.Read("err.txt");
    EXPECT_EQ(root.Read("user"), "a file where the user folder belongs");
    EXPECT_EQ(root.Read("trace.txt").find(" save "), std::string::npos) << "nothing was saved";
    const std::string log = root.Read("saves/engine.log");
    const std::string save = root.File("user/save/00000001.sav");
    EXPECT_EQ(CountLines(log, "Cannot write the save " + save + "; the game was not saved"), 2) << log;
    EXPECT_LE(std::count(log.begin(), log.end(), '\n'), 8) << log;
}

TEST(SaveFaultRunTest, AFullDiskKeepsTheOldSaveAndNamesTheNewOneInTheLog)
{
    Vel::TestTools::TempFolder root;
    const fs::path game = Vel::TestTools::CopyGame(root, "saves");
    // A trigger long enough that the save takes more than the room left.
    {
        std::string script = root.Read("saves/script.vls");
        const std::string set = "set(visited, one)\n";
        script.replace(script.find(set), set.size(), set + "set(letter, " + std::string(1500, 'x') + ")\n");
        root.Write("saves/script.vls", script);
    }
    root.Write("user/save/00000001.sav", "the player's old save");
    root.Write("user/save/00000001.bmp", "its thumbnail");
    root.Write("input.txt", kSaveTwice);
    // Under the limit the trace would be cut short too: the files left and the log tell what happened.
    ASSERT_EQ(RunLimited(root, game, 2, "--frames 180 --input '" + root.File("input.txt") + "'"), 0)
        << root.Read("err.txt");

    EXPECT_EQ(root.Read("user/save/00000001.sav"), "the player's old save");
    EXPECT_EQ(root.Read("user/save/00000001.bmp"), "its thumbnail");
    std::vector<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(root.Path() / "user/save"))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"00000001.bmp", "00000001.sav"})) << "no partial save is left";
    const std::string log = root.Read("saves/engine.log");
    EXPECT_EQ(CountLines(log, "Cannot write the save " + root.File("user/save/00000002.sav")), 2) << log;
    EXPECT_LE(std::count(log.begin(), log.end(), '\n'), 6) << log;
}

} // namespace
