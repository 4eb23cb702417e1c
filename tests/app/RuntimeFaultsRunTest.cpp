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
    ASSERT_EQ(RunGame(root, game, "--frames 10 --trace '" + root.File("trace.txt") + "'" + Snapshot(root, 9, "e.bmp")),
              0)
        << root.Read("err.txt");
    ExpectTrace(root, game / "expected/run.trace");
    EXPECT_THAT(root.Read("mx_runtime/engine.log"),
                HasSubstr("File: script.vls\nLine: 15\nInfo: Scene not found: nowhere"));
    // The report is drawn in white from (20, 120): its first line lights pixels.
    const std::string picture = root.Read("e.bmp");
    int lit = 0;
    for (int y = 120; y < 140; ++y)
        for (int x = 20; x < 120; ++x)
            lit += BmpPixel(picture, x, y) != 0u;
    EXPECT_GT(lit, 20) << "the error screen stays black without font1.fnt";
}

} // namespace
