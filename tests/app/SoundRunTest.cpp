// End-to-end run of a scene with sound: a playlist faded in, a sound effect and a volume step, rendered headless
// into a WAV file whose level over time shows the fade.
#include "AudioTools.h"
#include "GameRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;

// The level around a moment of the run, over a tenth of a second.
double LevelAt(const Vel::TestTools::LevelMeter& meter, double seconds)
{
    return meter.Level(static_cast<std::size_t>(seconds * kRate), kRate / 10);
}

TEST(SoundRunTest, PlaylistFadesInEffectPlaysAndVolumeStepRaisesTheMusic)
{
    Vel::TestTools::TempFolder root;
    const std::filesystem::path game = Vel::TestTools::CopyGame(root, "sound");
    ASSERT_TRUE(Vel::TestTools::WriteTone((game / "calm1.wav").string(), 12.0, 440.0, 0.5));
    ASSERT_TRUE(Vel::TestTools::WriteTone((game / "calm2.wav").string(), 2.0, 330.0, 0.5));
    ASSERT_TRUE(Vel::TestTools::WriteTone((game / "bell.wav").string(), 0.5, 880.0, 0.5));

    ASSERT_EQ(Vel::TestTools::RunGame(root, game, "--frames 600 --audio-out '" + root.File("out.wav") + "'"), 0)
        << root.Read("err.txt");

    int rate = 0;
    const Vel::TestTools::LevelMeter meter = Vel::TestTools::ReadRendered(root.File("out.wav"), &rate);
    EXPECT_EQ(rate, kRate);
    // 600 frames of 1/60 s, exactly.
    EXPECT_EQ(meter.Frames(), 600u * kRate / 60u);

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
    const std::string settings = root.Read("user/sys1.dfn");
    ASSERT_EQ(settings.size(), 16u);
    float storedMusic = 0.0f;
    std::memcpy(&storedMusic, settings.data(), sizeof storedMusic);
    EXPECT_FLOAT_EQ(storedMusic, 0.8f);
}

} // namespace
