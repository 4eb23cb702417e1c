// End-to-end run of a scene with sound: a playlist faded in, a sound effect and a volume step, rendered headless
// into a WAV file whose level over time shows the fade.
#include "RunTools.h"

#include <gtest/gtest.h>

#include <cmath>
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

    // The fade rises by music volume x 0.2 a second: the 0.5 tone reaches 0.5 x 0.3 after 5 s.
    EXPECT_NEAR(LevelAt(meter, 1.0), 0.5 * 0.06, 0.01);
    EXPECT_NEAR(LevelAt(meter, 2.5), 0.5 * 0.15, 0.01);
    EXPECT_NEAR(LevelAt(meter, 5.5), 0.5 * 0.3, 0.01);
    EXPECT_LT(LevelAt(meter, 1.0), LevelAt(meter, 2.5));

    // At 6 s the bell (0.5 at the effects volume 0.8; the step comes after it) joins the music; two tones add in
    // power.
    const double music = 0.5 * 0.3;
    const double bell = 0.5 * 0.8;
    EXPECT_NEAR(LevelAt(meter, 6.1), std::sqrt(music * music + bell * bell), 0.03);
    // The step raised the music to 0.8; it climbs there at 0.16 a second and has arrived by 9.5 s.
    EXPECT_GT(LevelAt(meter, 7.5), LevelAt(meter, 5.5) + 0.05);
    EXPECT_NEAR(LevelAt(meter, 9.6), 0.5 * 0.8, 0.01);

    // The volumes the step set are what the run stores for the player: music first.
    EXPECT_EQ(root.Read("user/sys1.dfn").size(), 16u);
    EXPECT_FLOAT_EQ(StoredMusicVolume(root), 0.8f);
}

} // namespace
