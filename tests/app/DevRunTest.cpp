// An author's loop end to end: a start at any scene with triggers set, and a run that reads its scripts again when
// they are saved (in place or renamed over) or by Shift+R, keeping the triggers and going on after a fixed error.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace Vel::TestTools;
using ::testing::HasSubstr;

class DevRunTest : public ::testing::Test
{
protected:
    void SetUp() override { m_game = CopyGame(m_root, "dev_loop"); }

    // Runs the game traced; once frame 10 is drawn, a shell beside it runs the step and then creates root/written,
    // which the replay's frame 11 waits for.
    int RunWithStep(const std::string& options, const std::string& step)
    {
        const std::string ready = m_root.File("ready.bmp");
        fs::remove(ready);
        fs::remove(m_root.File("written"));
        const std::string side = "(for i in $(seq 1000); do [ -e '" + ready + "' ] && break; sleep 0.01; done; cd '" +
                                 m_game.string() + "' && " + step + " && touch '" + m_root.File("written") + "') & ";
        return Status(side + "'" + VEL_ENGINE + "' '" + m_game.string() + "' --headless --user-dir '" +
                      m_root.File("user") + "' --trace '" + m_root.File("trace.txt") + "' --snapshot '10:" + ready +
                      "' " + options + " 2>'" + m_root.File("err.txt") + "' >/dev/null; wait");
    }

    std::string Options(const std::string& replay, int frames) const
    {
        return "--frames " + std::to_string(frames) + " --input '" + (m_game / "tools" / replay).string() + "'";
    }

    TempFolder m_root;
    fs::path m_game;
};

TEST_F(DevRunTest, AStartAtAnySceneSetsTriggersWithoutStoringThemAndAWrongSceneListsTheScenes)
{
    const std::string hall = "--frames 5 --trace '" + m_root.File("trace.txt") + "' --scene hall --set door=open";
    ASSERT_EQ(RunGame(m_root, m_game, hall + " --set seen=yes"), 0) << m_root.Read("err.txt");
    ExpectTrace(m_root, m_game / "expected" / "opened.trace");
    // The persistent trigger is not written back: the next start finds it as it was.
    ASSERT_EQ(RunGame(m_root, m_game, hall), 0) << m_root.Read("err.txt");
    ExpectTrace(m_root, m_game / "expected" / "closed.trace");

    EXPECT_EQ(RunGame(m_root, m_game, "--frames 5 --scene hal"), 2);
    EXPECT_EQ(m_root.Read("err.txt"),
              "velloria: no story scene 'hal'; the story scenes are:\n  intro\n  hall\n  opened\n  closed\n");
}

TEST_F(DevRunTest, ARewrittenScriptOrPictureIsReadAgainKeepingTheTriggersAndShiftRDoesTheSame)
{
    ASSERT_EQ(RunWithStep(Options("rewrite.replay", 80) + " --scene hall --set door=open --set seen=yes",
                          "cat tools/hall.next > script.vls"),
              0)
        << m_root.Read("err.txt");
    ExpectTrace(m_root, m_game / "expected" / "rewrite.trace");

    // A picture saved in a subfolder reloads too; the engine's own compiled scripts, written by every reload, do not.
    ASSERT_EQ(RunWithStep(Options("fix.replay", 40) + " --dev", "cp ../ready.bmp pics/new.bmp"), 0);
    ExpectTrace(m_root, m_game / "expected" / "picture.trace");
    EXPECT_EQ(Occurrences(m_root.Read("trace.txt"), " reload "), 1);
}

TEST_F(DevRunTest, AnErrorFixedBySavingGoesOnWithoutARestartAndEscapeIgnoresIt)
{
    fs::copy_file(m_game / "script.vls", m_root.File("fixed.vls"));
    std::ofstream(m_game / "script.vls", std::ios::app) << "beginscene(more)\nif door=open then goto(opened\nend\n";
    const std::string fix = "cp '" + m_root.File("fixed.vls") + "' fixed.tmp && mv fixed.tmp script.vls";
    ASSERT_EQ(RunWithStep(Options("fix.replay", 40) + " --dev --set door=open", fix), 0) << m_root.Read("err.txt");
    ExpectTrace(m_root, m_game / "expected" / "fix.trace");

    std::ofstream(m_game / "script.vls", std::ios::app) << "beginscene(more)\nif door=open then goto(opened\nend\n";
    ASSERT_EQ(
        RunGame(m_root, m_game, Options("ignore.replay", 10) + " --dev --trace '" + m_root.File("trace.txt") + "'"), 0);
    ExpectTrace(m_root, m_game / "expected" / "ignore.trace");
}

} // namespace
