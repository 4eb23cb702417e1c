// End-to-end runs of what a story can run into: a jump to a scene nobody wrote, shown on the error screen (drawn with
// the engine's own face when the game has no bitmap font) and traced with every command's kind on the way there.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

namespace {

using namespace Vel::TestTools;
using ::testing::HasSubstr;

TEST(RuntimeFaultsRunTest, AJumpToAMissingSceneIsAScriptErrorShownWithTheEnginesOwnFace)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "mx_runtime");
    ASSERT_EQ(RunGame(root, game, "--frames 10" + Replay(root, "") + Snapshot(root, 9, "error.bmp")), 0)
        << root.Read("err.txt");
    ExpectInOrder(root.Read("trace.txt"),
                  {" command a 0 Modify node-bg\n", " command a 1 Music-theme.ogg\n", " command a 2 Mute-on\n",
                   " command a 3 Playlist-none\n", " command a 4 Sfx-click.wav\n", " command a 5 Volume-1\n",
                   " command a 6 Right click-off\n", " command a 7 Set trigger-door=open\n",
                   " command a 8 If-door=open\n", " scene b\n", " command b 0 Clear-bg\n",
                   " command b 1 Goto-nowhere\n", " error Script error\n"});
    EXPECT_THAT(root.Read("mx_runtime/engine.log"),
                HasSubstr("File: script.vls\nLine: 15\nInfo: Scene not found: nowhere"));

    // The report is drawn in white from (20, 120): some pixel of its first line is lit.
    const std::string picture = root.Read("error.bmp");
    int lit = 0;
    for (int y = 120; y < 140; ++y)
        for (int x = 20; x < 120; ++x)
            lit += BmpPixel(picture, x, y) != 0u;
    EXPECT_GT(lit, 20) << "the error screen stays black without font1.fnt";
}

} // namespace
