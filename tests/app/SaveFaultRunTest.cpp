// End-to-end runs of saving where the disk does not take the save: a user folder that cannot be made and a disk
// that is full. The game plays on, the saves already there are kept, and "engine.log" names the file that failed.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace Vel::TestTools;

class SaveFaultRunTest : public ::testing::Test
{
protected:
    void SetUp() override { m_game = CopyGame(m_root, "saves"); }

    // A headless run as RunGame makes it, through a shell that first limits the size of every file the engine writes
    // to blocks of 512 bytes; a write past it fails as on a full disk.
    int RunLimited(int blocks, const std::string& options)
    {
        return Status(std::string("sh -c \"trap '' XFSZ; ulimit -f ") + std::to_string(blocks) + "; exec '" +
                      VEL_ENGINE + "' '" + m_game.string() + "' --headless --user-dir '" + m_root.File("user") + "' " +
                      options + "\" 2>'" + m_root.File("err.txt") + "' >/dev/null");
    }

    TempFolder m_root;
    fs::path m_game;
};

TEST_F(SaveFaultRunTest, AUserFolderThatCannotBeMadeLeavesTheGameRunningAndIsNamedInTheLog)
{
    // Not even the superuser can make a folder inside a regular file.
    m_root.Write("user", "a file where the user folder belongs");
    ASSERT_EQ(RunGame(m_root, m_game, "--frames 180" + Replay(m_root, m_game / "tools" / "save_twice.replay")), 0)
        << m_root.Read("err.txt");
    EXPECT_EQ(m_root.Read("user"), "a file where the user folder belongs");
    EXPECT_EQ(m_root.Read("trace.txt").find(" save "), std::string::npos) << "nothing was saved";
    const std::string log = m_root.Read("saves/engine.log");
    const std::string save = m_root.File("user/save/00000001.sav");
    EXPECT_EQ(Occurrences(log, "Cannot write the save " + save + "; the game was not saved"), 2) << log;
    EXPECT_LE(std::count(log.begin(), log.end(), '\n'), 8) << log;
}

TEST_F(SaveFaultRunTest, AFullDiskKeepsTheOldSaveAndNamesTheNewOneInTheLog)
{
    // A trigger long enough that the save takes more than the room left.
    std::string script = m_root.Read("saves/script.vls");
    const std::string set = "set(visited, one)\n";
    script.replace(script.find(set), set.size(), set + "set(letter, " + std::string(1500, 'x') + ")\n");
    m_root.Write("saves/script.vls", script);
    m_root.Write("user/save/00000001.sav", "the player's old save");
    m_root.Write("user/save/00000001.bmp", "its thumbnail");
    // Under the limit the trace would be cut short too: the files left and the log tell what happened.
    ASSERT_EQ(RunLimited(2, "--frames 180 --input '" + (m_game / "tools" / "save_twice.replay").string() + "'"), 0)
        << m_root.Read("err.txt");

    EXPECT_EQ(m_root.Read("user/save/00000001.sav"), "the player's old save");
    EXPECT_EQ(m_root.Read("user/save/00000001.bmp"), "its thumbnail");
    std::vector<std::string> left;
    for (const fs::directory_entry& entry : fs::directory_iterator(m_root.Path() / "user/save"))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"00000001.bmp", "00000001.sav"})) << "no partial save is left";
    const std::string log = m_root.Read("saves/engine.log");
    EXPECT_EQ(Occurrences(log, "Cannot write the save " + m_root.File("user/save/00000002.sav")), 2) << log;
    EXPECT_LE(std::count(log.begin(), log.end(), '\n'), 6) << log;
}

} // namespace
