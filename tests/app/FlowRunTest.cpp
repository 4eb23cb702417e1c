// End-to-end run of the flow statements: a trigger set and tested, a conditional jump, and a pause that waits for
// a click. The engine runs headless on a private copy of tests/games/flow (a run compiles the scripts in place).
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

namespace {

TEST(FlowRunTest, ConditionalJumpFollowsTheTriggerAndThePauseWaitsForAClick)
{
    Vel::TestTools::TempFolder root;
    const std::filesystem::path game = root.Path() / "flow";
    std::filesystem::copy(std::filesystem::path(VEL_TEST_GAMES) / "flow", game,
                          std::filesystem::copy_options::recursive);
    // A headless run of 40 frames with a user folder of its own, traced into the file; returns the exit status.
    const auto run = [&](const std::string& trace, const std::string& options) {
        const std::string command = std::string("'") + VEL_ENGINE + "' '" + game.string() +
                                    "' --headless --user-dir '" + root.File("user") + "' --frames 40 --trace '" +
                                    root.File(trace) + "' " + options + " 2>'" + root.File("err.txt") + "' >/dev/null";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    ASSERT_EQ(run("still.txt", ""), 0) << root.Read("err.txt");
    const std::string still = root.Read("still.txt");
    EXPECT_NE(still.find(" scene b\n"), std::string::npos) << still;
    EXPECT_EQ(still.find("scene skipped"), std::string::npos) << still;
    EXPECT_EQ(still.find(" scene c\n"), std::string::npos) << "the pause ended without a click: " << still;
    EXPECT_EQ(still.find("error"), std::string::npos) << still;

    // A scene switch closes the click gate for 0.3 s (18 frames of 1/60 s); the click comes well after that.
    root.Write("input.txt", "30 click 100 100\n");
    ASSERT_EQ(run("clicked.txt", "--input '" + root.File("input.txt") + "'"), 0) << root.Read("err.txt");
    const std::string clicked = root.Read("clicked.txt");
    const std::size_t b = clicked.find(" scene b\n");
    ASSERT_NE(b, std::string::npos) << clicked;
    EXPECT_NE(clicked.find("\n31 scene c\n", b), std::string::npos) << "one frame after the click: " << clicked;
}

} // namespace
