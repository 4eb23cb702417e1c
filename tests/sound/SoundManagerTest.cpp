#include "sound/SoundManager.h"

#include "ProcessRecordGuard.h"
#include "AudioTools.h"
#include "HeadlessHge.h"
#include "TempFolder.h"
#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "resources/Playlist.h"
#include "resources/ResourceManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace Vel {
namespace {

constexpr float kFrame = 1.0f / 60.0f;
constexpr double kTone = 0.5;
constexpr double kSilence = 0.002; // what is left of a stopped tone's ramp in a measured window

class SoundManagerTest : public ::testing::Test
{
protected:
    SoundManagerTest()
    {
        m_hge->System_SetState(HGE_LOGFILE, m_folder.File("engine.log").c_str());
        UserFiles::SetUserFolderOverride(m_folder.Path().string());
        Restart();
    }

    void Restart()
    {
        m_sound.reset();
        m_sound = std::make_unique<SoundManager>();
        m_sound->GetDevice().SetSink(&m_meter);
        m_meter.Clear();
    }

    std::u16string Tone(const std::string& name, double seconds, double frequency = 440.0)
    {
        EXPECT_TRUE(TestTools::WriteTone(m_folder.File(name), seconds, frequency, kTone));
        return Missing(name);
    }
    std::u16string Missing(const std::string& name) const { return TextCodec::Utf8ToWide(m_folder.File(name)); }

    void Run(double seconds)
    {
        for (long i = std::lround(seconds / kFrame); i > 0; --i) {
            m_sound->UpdateFades(kFrame);
            m_sound->Update(kFrame);
        }
    }
    // Leaves out the first 10 ms, where the mixer ramps a changed source instead of clicking.
    double LevelOver(double seconds)
    {
        m_meter.Clear();
        Run(seconds);
        return m_meter.Level(AudioDevice::kSampleRate / 100, m_meter.Frames());
    }

    AudioDevice& Device() { return m_sound->GetDevice(); }
    float MusicVolume() { return Device().GetVolume(m_sound->GetMusicStream()); }
    static std::int64_t Frames(double seconds) { return std::llround(seconds * AudioDevice::kSampleRate); }

    // Music, voice, effects and master volume after loading these settings bytes.
    std::vector<float> LoadVolumes(const std::string& bytes)
    {
        m_folder.Write("sys1.dfn", bytes);
        Restart();
        m_sound->LoadSettings();
        return {m_sound->GetMusicVolume(), m_sound->GetVoiceVolume(), m_sound->GetSfxVolume(),
                m_sound->GetMasterVolume()};
    }
    static std::string SettingsFile(const float (&values)[4])
    {
        return std::string(reinterpret_cast<const char*>(values), sizeof values);
    }

    TestTools::ProcessRecordGuard m_records;
    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    TestTools::LevelMeter m_meter;
    std::unique_ptr<SoundManager> m_sound;
};

// The fade in is the sound run's; a new track fades the old one out, which then goes.
TEST_F(SoundManagerTest, TheOldTrackFadesOutAndGoesAndWithoutAFadeTheMusicIsSwappedAtOnce)
{
    const std::u16string first = Tone("first.wav", 12.0, 440.0);
    m_sound->PlayMusic(first, false);
    const HSTREAM firstStream = m_sound->GetMusicStream();
    m_sound->PlayMusic(Tone("second.wav", 12.0, 660.0), true);
    Run(2.5);
    EXPECT_NEAR(Device().GetVolume(firstStream), 0.15f, 0.01f);
    Run(2.6);
    EXPECT_EQ(Device().GetStreamCount(), 1u) << "the faded track is released";
    m_sound->PlayMusic(first, false);
    EXPECT_EQ(m_sound->GetOldMusicStream(), 0u);
    EXPECT_EQ(Device().GetStreamCount(), 1u);
}

TEST_F(SoundManagerTest, PlaylistsRunOnTrackAfterTrackAndShuffleDrawsFromTheWholeList)
{
    Playlist* three = m_resources.GetPlaylist(u"three");
    for (int i = 1; i <= 3; ++i)
        three->AddTrack(Tone(std::to_string(i) + ".wav", 0.1 + 0.1 * i, 200.0 + 100.0 * i));
    m_sound->SetPlaylist(u"three", false);
    std::vector<std::int64_t> lengths;
    for (int frame = 0; frame < 60; ++frame, Run(kFrame)) {
        const std::int64_t length = Device().GetLength(m_sound->GetMusicStream());
        if (lengths.empty() || lengths.back() != length)
            lengths.push_back(length);
    }
    EXPECT_EQ(lengths, (std::vector<std::int64_t>{Frames(0.2), Frames(0.3), Frames(0.4), Frames(0.2)}));
    EXPECT_EQ(Device().GetStreamCount(), 1u);

    // A single shuffled track plays again and again; of four, every one is drawn.
    Playlist* loop = m_resources.GetPlaylist(u"loop");
    loop->SetShuffle(true);
    loop->AddTrack(Tone("loop.wav", 0.2, 700.0));
    m_sound->SetPlaylist(u"loop", false);
    std::vector<HSTREAM> streams;
    for (int frame = 0; frame < 60; ++frame, Run(kFrame)) {
        ASSERT_NE(m_sound->GetMusicStream(), 0u) << "frame " << frame;
        if (streams.empty() || streams.back() != m_sound->GetMusicStream())
            streams.push_back(m_sound->GetMusicStream());
    }
    EXPECT_GE(streams.size(), 5u) << "one second of a 0.2 s track played again and again";

    EXPECT_EQ(Playlist().NextTrack(), u"") << "an empty playlist has no next track";
    for (const char16_t* track : {u"b", u"c", u"d"})
        loop->AddTrack(track);
    std::set<std::u16string> drawn;
    for (int i = 0; i < 200; ++i)
        drawn.insert(loop->NextTrack());
    EXPECT_EQ(drawn.size(), 4u) << "200 draws leave out a track";
}

// How effects, voice and music mix at their channel volumes is the sound run's; ended effects must not pile up.
TEST_F(SoundManagerTest, EffectsPlayTogetherAndEndedOnesAreReleased)
{
    const std::u16string effect = Tone("effect.wav", 1.0, 440.0);
    m_sound->PlaySfx(effect);
    m_sound->PlaySfx(effect);
    m_sound->SetMasterVolume(5.0f);
    EXPECT_NEAR(LevelOver(0.5), 2 * kTone * 0.4, 0.01) << "both effects in phase at 0.8 of half the master";
    Run(0.6);
    EXPECT_TRUE(m_sound->GetEffectStreams().empty());
    EXPECT_EQ(Device().GetStreamCount(), 0u);
}

TEST_F(SoundManagerTest, TheVoiceCallbackFiresWhenTheVoiceEndsAndMayStartTheNextOne)
{
    const std::u16string first = Tone("first.wav", 0.3, 440.0);
    int firstDone = 0;
    int secondDone = 0;
    m_sound->PlayVoice(first, Callback<void()>([&] {
                           ++firstDone;
                           m_sound->PlayVoice(Tone("second.wav", 0.5, 660.0), Callback<void()>([&] { ++secondDone; }));
                       }));
    Run(0.25);
    EXPECT_EQ(firstDone, 0);
    Run(0.1);
    EXPECT_EQ(firstDone, 1);
    Run(0.35);
    EXPECT_EQ(secondDone, 0);
    Run(0.2);
    EXPECT_EQ(std::pair(firstDone, secondDone), std::pair(1, 1)) << "the voice the callback started was kept";

    int cut = 0;
    m_sound->PlayVoice(first, Callback<void()>([&] { ++cut; }));
    Run(0.1);
    m_sound->PlayVoice(u"", {});
    Run(0.5);
    EXPECT_EQ(cut, 0) << "a voice cut short is not reported as finished";
}

TEST_F(SoundManagerTest, VolumeStepsReachTheMusicThroughTheFadeAndOnlyTheSliderAtZeroMutes)
{
    m_sound->PlayMusic(Tone("music.wav", 12.0), false);
    m_sound->StepChannelVolumes(1.0f);
    Run(4.0);
    EXPECT_NEAR(MusicVolume(), 1.3f, 1e-4f);
    EXPECT_NEAR(LevelOver(0.3), kTone, 0.005) << "the mixer hears 1.3 as 1";

    // Below zero the channel plays at a tenth of the master volume, and fades still end.
    m_sound->StepChannelVolumes(-1.5f);
    Run(0.1);
    m_sound->PlayMusic(Tone("next.wav", 8.0), true);
    Run(5.1);
    EXPECT_EQ(m_sound->GetOldMusicStream(), 0u);
    EXPECT_NEAR(MusicVolume(), 0.1f, 1e-4f);

    // The slider at 0 mutes: silent at once, and the fading track goes too.
    m_sound->SetMusicVolume(3.0f);
    m_sound->PlayMusic(Tone("last.wav", 8.0), true);
    Run(1.0);
    m_sound->SetMusicVolume(0.0f);
    EXPECT_EQ(m_sound->GetOldMusicStream(), 0u);
    EXPECT_LT(LevelOver(1.0), kSilence);
}

// Every cut of the file keeps the values before it and the defaults after; damaged values keep their default.
TEST_F(SoundManagerTest, SettingsSurviveARestartAndEveryCutAndAnyGarbageLoadWithoutHarm)
{
    m_sound->SetMusicVolume(7.0f);
    m_sound->SetVoiceVolume(0.0f);
    m_sound->SetSfxVolume(2.0f);
    m_sound->SetMasterVolume(9.0f);
    m_sound->SaveSettings();
    EXPECT_EQ(LoadVolumes(m_folder.Read("sys1.dfn")), (std::vector<float>{7.0f, 0.0f, 2.0f, 9.0f}));
    m_sound->PlayVoice(Tone("voice.wav", 1.0), {});
    EXPECT_NEAR(LevelOver(0.5), kTone * 0.9 * 0.1, 0.002) << "saved at 0, loaded unmuted at a tenth of master";

    const float saved[4] = {0.5f, 0.6f, 0.7f, 0.4f};
    const std::string bytes = SettingsFile(saved);
    for (std::size_t size = 0; size <= bytes.size(); ++size) {
        std::vector<float> expected{3.0f, 10.0f, 8.0f, 10.0f};
        for (std::size_t index = 0; index < size / 4; ++index)
            expected[index] = saved[index] * 10.0f;
        EXPECT_EQ(LoadVolumes(bytes.substr(0, size)), expected) << size;
    }
    const float wild[4] = {std::numeric_limits<float>::quiet_NaN(), 1e38f, -2.0f, 0.4f};
    EXPECT_EQ(LoadVolumes(SettingsFile(wild)), (std::vector<float>{3.0f, 10.0f, 8.0f, 4.0f}));
    std::mt19937 random(20261206);
    for (int round = 0; round < 40; ++round) {
        std::string garbage(random() % 24, '\0');
        for (char& byte : garbage)
            byte = static_cast<char>(random() % 256);
        for (const float volume : LoadVolumes(garbage))
            EXPECT_TRUE(volume >= 0.0f && volume <= 100.0f) << round;
    }
}

TEST_F(SoundManagerTest, FilesThatCannotBeOpenedAreSkippedAndLoggedOnceAndStopTheOldVoice)
{
    m_folder.Write("garbage.wav", "RIFF this is no sound at all");
    m_folder.Write("empty.ogg", "");
    int done = 0;
    m_sound->PlayVoice(Tone("voice.wav", 2.0), Callback<void()>([&] { ++done; }));
    Playlist* broken = m_resources.GetPlaylist(u"broken");
    for (const char* name : {"missing.wav", "garbage.wav", "empty.ogg"}) {
        broken->AddTrack(Missing(name));
        for (int round = 0; round < 2; ++round) {
            m_sound->PlaySfx(Missing(name));
            m_sound->PlayVoice(Missing(name), {});
            m_sound->PlayMusic(Missing(name), round == 0);
        }
    }
    m_sound->SetPlaylist(u"broken", true);
    Run(0.2);
    EXPECT_EQ(Device().GetStreamCount(), 0u) << "a voice that cannot be opened stops the old one";
    EXPECT_EQ(done, 0) << "without reporting it finished";
    const std::string log = m_folder.Read("engine.log");
    for (const char* name : {"missing.wav", "garbage.wav", "empty.ogg"}) {
        EXPECT_NE(log.find(name), std::string::npos) << name << " in\n" << log;
        EXPECT_EQ(log.find(name), log.rfind(name)) << name << " in\n" << log;
    }

    broken->AddTrack(Tone("good.wav", 1.0));
    m_sound->SetPlaylist(u"broken", false);
    EXPECT_EQ(Device().GetLength(m_sound->GetMusicStream()), Frames(1.0)) << "the one good track is found";
}

} // namespace
} // namespace Vel
