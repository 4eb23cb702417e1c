// End-to-end run of a scene with sound: a playlist faded in, a sound effect and a volume step, rendered headless
// into a WAV file whose level over time shows the fade.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace Vel::TestTools;

TEST(SoundRunTest, PlaylistFadesInEffectPlaysAndVolumeStepRaisesTheMusic)
{
    TempFolder root;
    const std::filesystem::path game = CopyGame(root, "sound");
    ASSERT_TRUE(WriteTone((game / "calm1.wav").string(), 12.0, 440.0, 0.5));
    ASSERT_TRUE(WriteTone((game / "calm2.wav").string(), 2.0, 330.0, 0.5));
    ASSERT_TRUE(WriteTone((game / "bell.wav").string(), 0.5, 880.0, 0.5));

    ASSERT_EQ(RunGame(root, game, "--frames 600 --audio-out '" + root.File("out.wav") + "'"), 0)
        << root.Read("err.txt");

    int rate = 0;
    const LevelMeter meter = ReadRendered(root.File("out.wav"), &rate);
    EXPECT_EQ(rate, 44100);
    // 600 frames of 1/60 s, exactly.
    EXPECT_EQ(meter.Frames(), 600u * 44100u / 60u);

    ExpectLevels(meter, game / "expected" / "levels.txt");

    // The volumes the step set are what the run stores for the player: music (0.8), voice, effects and the whole.
    EXPECT_EQ(root.Read("user/sys1.dfn"), root.Read((game / "expected" / "sys1.dfn").string()));
}

} // namespace
