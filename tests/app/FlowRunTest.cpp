// End-to-end run of the flow statements: a trigger set and tested, a conditional jump, and a pause that waits for
// a click. The engine runs headless on a private copy of tests/games/flow.
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

namespace fs = std::filesystem;

namespace {

class FlowRunTest : public ::testing::Test
{
protected:
    // A private copy, because a run compiles the scripts into the game folder.
    fs::path CopyGame(const std::string& name)
    {
        const fs::path target = m_root.Path() / name;
        fs::copy(fs::path(VEL_TEST_GAMES) / name, target, fs::copy_options::recursive);
        return target;
    }
    std::string Path(const std::string& name) { return "'" + m_root.File(name) + "'"; }

    // A headless run of the game with a user folder of its own; returns the exit status.
    int Run(const fs::path& game, const std::string& options)
    {
        const std::string command = std::string("'") + VEL_ENGINE + "' '" + game.string() + "' --headless --user-dir " +
                                    Path("user") + " " + options + " >" + Path("out.txt") + " 2>" + Path("err.txt");
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Stderr() { return m_root.Read("err.txt"); }

    Vel::TestTools::TempFolder m_root;
};

TEST_F(FlowRunTest, ConditionalJumpFollowsTheTriggerAndThePauseWaitsForAClick)
{
    const fs::path game = CopyGame("flow");
    ASSERT_EQ(Run(game, "--frames 40 --trace " + Path("still.txt")), 0) << Stderr();
    const std::string still = m_root.Read("still.txt");
    EXPECT_NE(still.find(" scene b\n"), std::string::npos) << still;
    EXPECT_EQ(still.find("scene skipped"), std::string::npos) << still;
    EXPECT_EQ(still.find(" scene c\n"), std::string::npos) << "the pause ended without a click: " << still;
    EXPECT_EQ(still.find("error"), std::string::npos) << still;

    // A scene switch closes the click gate for 0.3 s (18 frames of 1/60 s); the click comes well after that.
    m_root.Write("input.txt", "30 click 100 100\n");
    ASSERT_EQ(Run(game, "--frames 40 --input " + Path("input.txt") + " --trace " + Path("clicked.txt")), 0) << Stderr();
    const std::string clicked = m_root.Read("clicked.txt");
    const std::size_t b = clicked.find(" scene b\n");
    ASSERT_NE(b, std::string::npos) << clicked;
    EXPECT_NE(clicked.find("\n31 scene c\n", b), std::string::npos) << "one frame after the click: " << clicked;
}

} // namespace
