#include "sound/SoundManager.h"

#include "AudioTools.h"
#include "HeadlessHge.h"
#include "TempFolder.h"
#include "app/TextCodec.h"
#include "app/UserFiles.h"
#include "data/BinarySerializer.h"
#include "platform/ArchiveWriter.h"
#include "resources/Playlist.h"
#include "resources/ResourceManager.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

using TestTools::LevelMeter;
using TestTools::WriteTone;

constexpr float kFrame = 1.0f / 60.0f;
constexpr double kTone = 0.5;      // amplitude of every test tone
constexpr double kSilence = 0.002; // what is left of a stopped tone's ramp in a measured window

// A rendering device over a headless interface logging into a temporary folder, which is also the user folder.
class SoundManagerTest : public ::testing::Test
{
protected:
    SoundManagerTest()
    {
        m_hge->System_SetState(HGE_LOGFILE, m_folder.File("engine.log").c_str());
        UserFiles::SetUserFolderOverride(m_folder.Path().string());
        Restart();
    }
    ~SoundManagerTest() override
    {
        m_sound.reset();
        UserFiles::SetUserFolderOverride("");
    }

    // A fresh manager, as after a restart of the game.
    void Restart()
    {
        m_sound.reset();
        m_sound = std::make_unique<SoundManager>();
        m_sound->GetDevice().SetSink(&m_meter);
        m_meter.Clear();
    }

    // A stereo sine in the temporary folder; returns its wide name.
    std::u16string Tone(const std::string& name, double seconds, double frequency = 440.0)
    {
        EXPECT_TRUE(WriteTone(m_folder.File(name), seconds, frequency, kTone));
        return TextCodec::Utf8ToWide(m_folder.File(name));
    }
    std::u16string Missing(const std::string& name) const { return TextCodec::Utf8ToWide(m_folder.File(name)); }

    // Frames as the engine runs them: the scenes manager's fades, then the device.
    void Run(double seconds)
    {
        const auto frames = static_cast<int>(std::lround(seconds / kFrame));
        for (int i = 0; i < frames; ++i) {
            m_sound->UpdateFades(kFrame);
            m_sound->Update(kFrame);
        }
    }
    // The output level over the next seconds, leaving out the first 10 ms: the mixer ramps a stopped or changed
    // source over a few hundred frames instead of clicking.
    double LevelOver(double seconds)
    {
        m_meter.Clear();
        Run(seconds);
        const std::size_t ramp = AudioDevice::kSampleRate / 100;
        return m_meter.Level(ramp, m_meter.Frames());
    }

    AudioDevice& Device() { return m_sound->GetDevice(); }
    float MusicVolume() { return Device().GetVolume(m_sound->GetMusicStream()); }
    static std::int64_t Frames(double seconds) { return std::llround(seconds * AudioDevice::kSampleRate); }

    std::string Log() const { return m_folder.Read("engine.log"); }
    std::size_t LogCount(const std::string& text) const
    {
        const std::string log = Log();
        std::size_t count = 0;
        for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    LevelMeter m_meter;
    std::unique_ptr<SoundManager> m_sound;
};

TEST_F(SoundManagerTest, MusicFadesInToMusicTimesMasterAndTheOldTrackFadesOutAndGoes)
{
    const std::u16string first = Tone("first.wav", 12.0, 440.0);
    const std::u16string second = Tone("second.wav", 12.0, 660.0);
    EXPECT_EQ(m_sound->GetMusicStream(), 0u) << "no music before a command starts it";

    m_sound->PlayMusic(first, true);
    const HSTREAM firstStream = m_sound->GetMusicStream();
    ASSERT_NE(firstStream, 0u);
    EXPECT_EQ(MusicVolume(), 0.0f);
    Run(2.5);
    EXPECT_NEAR(MusicVolume(), 0.15f, 0.01f) << "halfway after 2.5 s";
    Run(2.5);
    EXPECT_NEAR(MusicVolume(), 0.3f, 1e-5f);
    EXPECT_NEAR(LevelOver(0.5), kTone * 0.3, 0.005);
    EXPECT_EQ(MusicVolume(), 0.3f) << "held at the target once reached";

    m_sound->PlayMusic(second, true);
    EXPECT_EQ(m_sound->GetOldMusicStream(), firstStream);
    EXPECT_EQ(MusicVolume(), 0.0f);
    Run(2.5);
    EXPECT_NEAR(Device().GetVolume(firstStream), 0.15f, 0.01f);
    EXPECT_NEAR(MusicVolume(), 0.15f, 0.01f);
    Run(2.6);
    EXPECT_EQ(m_sound->GetOldMusicStream(), 0u);
    EXPECT_EQ(Device().GetStreamCount(), 1u) << "the faded track is released";
    EXPECT_FLOAT_EQ(MusicVolume(), 0.3f);

    // A track replaced before it was heard still ends, and without a fade the music is swapped at once.
    m_sound->PlayMusic(first, true);
    m_sound->PlayMusic(second, true);
    Run(0.1);
    EXPECT_EQ(Device().GetStreamCount(), 1u);
    m_sound->PlayMusic(first, false);
    EXPECT_EQ(m_sound->GetOldMusicStream(), 0u);
    EXPECT_FLOAT_EQ(MusicVolume(), 0.3f);
    EXPECT_EQ(Device().GetStreamCount(), 1u);
}

TEST_F(SoundManagerTest, PlaylistsRunOnTrackAfterTrack)
{
    Playlist* three = m_resources.GetPlaylist(u"three");
    three->AddTrack(Tone("one.wav", 0.2, 300.0));
    three->AddTrack(Tone("two.wav", 0.3, 400.0));
    three->AddTrack(Tone("three.wav", 0.4, 500.0));
    m_sound->SetPlaylist(u"three", false);
    EXPECT_EQ(m_sound->GetCurrentPlaylistName(), u"three");
    EXPECT_EQ(m_sound->GetCurrentPlaylist(), three);
    EXPECT_FLOAT_EQ(MusicVolume(), 0.3f) << "the first track without fade";

    std::vector<std::int64_t> lengths;
    HSTREAM seen = 0;
    for (int frame = 0; frame < 60; ++frame) {
        if (m_sound->GetMusicStream() != seen) {
            seen = m_sound->GetMusicStream();
            lengths.push_back(Device().GetLength(seen));
        }
        Run(kFrame);
    }
    EXPECT_EQ(lengths, (std::vector<std::int64_t>{Frames(0.2), Frames(0.3), Frames(0.4), Frames(0.2)}));
    EXPECT_EQ(Device().GetStreamCount(), 1u);

    Playlist* loop = m_resources.GetPlaylist(u"loop");
    loop->SetShuffle(true);
    loop->AddTrack(Tone("loop.wav", 0.2, 700.0));
    m_sound->SetPlaylist(u"loop", false);
    std::vector<HSTREAM> streams;
    for (int frame = 0; frame < 60; ++frame) {
        const HSTREAM stream = m_sound->GetMusicStream();
        ASSERT_NE(stream, 0u) << "frame " << frame;
        if (streams.empty() || streams.back() != stream)
            streams.push_back(stream);
        EXPECT_EQ(Device().GetLength(stream), Frames(0.2));
        Run(kFrame);
    }
    EXPECT_GE(streams.size(), 5u) << "one second of a 0.2 s track played again and again";
}

TEST_F(SoundManagerTest, EffectsAndTheVoicePlayTogetherAtTheirChannelVolumes)
{
    const std::u16string effect = Tone("effect.wav", 3.0, 440.0);
    const std::u16string voice = Tone("voice.wav", 3.0, 660.0);
    m_sound->PlaySfx(effect);
    EXPECT_NEAR(LevelOver(0.5), kTone * 0.8, 0.005);
    m_sound->PlayVoice(voice, {});
    const double both = std::sqrt(std::pow(kTone * 0.8, 2) + std::pow(kTone * 1.0, 2));
    EXPECT_NEAR(LevelOver(0.5), both, 0.01);
    m_sound->PlaySfx(effect);
    EXPECT_EQ(m_sound->GetEffectStreams().size(), 2u);

    m_sound->SetSfxVolume(4.0f);
    m_sound->SetVoiceVolume(0.0f);
    EXPECT_NEAR(LevelOver(0.5), 2 * kTone * 0.4, 0.01) << "both effects in phase at 0.4, the voice muted";
    m_sound->SetMasterVolume(5.0f);
    m_sound->SetVoiceVolume(10.0f);
    const double halved = std::sqrt(std::pow(2 * kTone * 0.2, 2) + std::pow(kTone * 0.5, 2));
    EXPECT_NEAR(LevelOver(0.5), halved, 0.01);
    EXPECT_FLOAT_EQ(m_sound->GetSfxVolume(), 4.0f);
    EXPECT_FLOAT_EQ(m_sound->GetMasterVolume(), 5.0f);

    Run(2.5);
    EXPECT_TRUE(m_sound->GetEffectStreams().empty()) << "ended effects are released";
    EXPECT_EQ(m_sound->GetVoiceStream(), 0u);
    EXPECT_EQ(Device().GetStreamCount(), 0u);
}

TEST_F(SoundManagerTest, TheVoiceCallbackFiresWhenTheVoiceEndsAndMayStartTheNextOne)
{
    const std::u16string first = Tone("first.wav", 0.3, 440.0);
    const std::u16string second = Tone("second.wav", 0.5, 660.0);
    int firstDone = 0;
    int secondDone = 0;
    m_sound->PlayVoice(first, Callback<void()>([&] {
                           ++firstDone;
                           m_sound->PlayVoice(second, Callback<void()>([&] { ++secondDone; }));
                       }));
    Run(0.25);
    EXPECT_EQ(firstDone, 0);
    Run(0.1);
    EXPECT_EQ(firstDone, 1);
    const HSTREAM next = m_sound->GetVoiceStream();
    ASSERT_NE(next, 0u) << "the voice started by the callback is kept";
    EXPECT_EQ(Device().GetLength(next), Frames(0.5));
    EXPECT_TRUE(Device().IsPlaying(next));
    Run(0.35);
    EXPECT_EQ(secondDone, 0);
    Run(0.2);
    EXPECT_EQ(secondDone, 1);
    EXPECT_EQ(firstDone, 1);
    EXPECT_EQ(m_sound->GetVoiceStream(), 0u);

    // A voice cut short by the next line, or by an empty name, is not reported as finished.
    int cut = 0;
    m_sound->PlayVoice(first, Callback<void()>([&] { ++cut; }));
    Run(0.1);
    m_sound->PlayVoice(u"", {});
    Run(0.5);
    EXPECT_EQ(cut, 0);
    EXPECT_EQ(Device().GetStreamCount(), 0u);
}

TEST_F(SoundManagerTest, APausedVoiceResumesWhereItStopped)
{
    int done = 0;
    m_sound->PauseVoice(false);
    m_sound->PauseVoice(true);
    m_sound->PlayVoice(Tone("voice.wav", 1.0), Callback<void()>([&] { ++done; }));
    const HSTREAM voice = m_sound->GetVoiceStream();
    m_sound->PauseVoice(false);
    Run(0.3);
    EXPECT_TRUE(Device().IsPlaying(voice)) << "resuming with nothing paused changes nothing";

    m_sound->PauseVoice(true);
    const std::int64_t position = Device().GetPosition(voice);
    EXPECT_NEAR(static_cast<double>(position), static_cast<double>(Frames(0.3)), 800.0);
    EXPECT_LT(LevelOver(0.5), kSilence);
    m_sound->PauseVoice(true);
    Run(0.5);
    EXPECT_EQ(done, 0) << "a pause is not the end of the voice";
    EXPECT_EQ(m_sound->GetVoiceStream(), voice);
    EXPECT_EQ(Device().GetPosition(voice), position);

    m_sound->PauseVoice(false);
    EXPECT_TRUE(Device().IsPlaying(voice));
    EXPECT_EQ(Device().GetPosition(voice), position);
    EXPECT_NEAR(LevelOver(0.6), kTone, 0.01);
    EXPECT_EQ(done, 0);
    Run(0.15);
    EXPECT_EQ(done, 1) << "the voice ended 0.7 s after it resumed";
}

TEST_F(SoundManagerTest, AVoiceThatCannotBeOpenedStopsTheOldOne)
{
    int done = 0;
    m_sound->PlayVoice(Tone("voice.wav", 2.0), Callback<void()>([&] { ++done; }));
    Run(0.2);
    m_sound->PlayVoice(Missing("missing voice.ogg"), Callback<void()>([&] { ++done; }));
    EXPECT_EQ(m_sound->GetVoiceStream(), 0u);
    EXPECT_EQ(Device().GetStreamCount(), 0u);
    EXPECT_LT(LevelOver(0.2), kSilence);
    m_sound->PlayVoice(Missing("missing voice.ogg"), {});
    Run(0.1);
    EXPECT_EQ(done, 0);
    EXPECT_EQ(LogCount("missing voice.ogg"), 1u) << Log();
}

TEST_F(SoundManagerTest, MutingPausesTheMusicAndUnmutingResumesIt)
{
    m_sound->MuteMusic(true);
    m_sound->MuteMusic(false);
    Playlist* list = m_resources.GetPlaylist(u"list");
    list->AddTrack(Tone("a.wav", 1.0, 440.0));
    list->AddTrack(Tone("b.wav", 0.5, 660.0));
    m_sound->SetPlaylist(u"list", false);
    const HSTREAM music = m_sound->GetMusicStream();
    Run(0.3);
    m_sound->MuteMusic(false);
    EXPECT_TRUE(Device().IsPlaying(music)) << "unmuting playing music leaves it playing";

    m_sound->MuteMusic(true);
    const std::int64_t position = Device().GetPosition(music);
    EXPECT_LT(LevelOver(2.0), kSilence);
    EXPECT_EQ(m_sound->GetMusicStream(), music) << "no next track while muted";
    EXPECT_EQ(Device().GetPosition(music), position);

    m_sound->MuteMusic(false);
    EXPECT_TRUE(Device().IsPlaying(music));
    EXPECT_NEAR(LevelOver(0.6), kTone * 0.3, 0.005);
    EXPECT_EQ(m_sound->GetMusicStream(), music);
    Run(0.2);
    EXPECT_NE(m_sound->GetMusicStream(), music) << "the rest of the track played, then the next one";
    EXPECT_EQ(Device().GetLength(m_sound->GetMusicStream()), Frames(0.5));

    // A new track while the music is muted replaces the paused one instead of leaving it to fade forever.
    m_sound->MuteMusic(true);
    m_sound->PlayMusic(Tone("c.wav", 3.0), true);
    EXPECT_EQ(m_sound->GetOldMusicStream(), 0u);
    EXPECT_EQ(Device().GetStreamCount(), 1u);
}

TEST_F(SoundManagerTest, VolumeStepsReachTheMusicThroughTheFade)
{
    m_sound->PlayMusic(Tone("music.wav", 12.0), false);
    m_sound->StepChannelVolumes(0.5f);
    m_sound->StepChannelVolumes(0.5f);
    EXPECT_NEAR(m_sound->GetMusicVolume(), 13.0f, 1e-4f);
    EXPECT_NEAR(m_sound->GetSfxVolume(), 18.0f, 1e-4f);
    EXPECT_NEAR(m_sound->GetVoiceVolume(), 20.0f, 1e-4f);
    EXPECT_FLOAT_EQ(MusicVolume(), 0.3f) << "a step touches no stream";
    Run(4.0);
    EXPECT_NEAR(MusicVolume(), 1.3f, 1e-4f);
    EXPECT_FLOAT_EQ(Device().GetMixerVolume(m_sound->GetMusicStream()), 1.0f);
    EXPECT_NEAR(LevelOver(0.3), kTone, 0.005);

    // Below zero the channel is not muted: it plays at a tenth of the master volume, and fades still end.
    m_sound->StepChannelVolumes(-1.5f);
    EXPECT_FALSE(m_sound->IsMusicMuted());
    Run(0.1);
    EXPECT_NEAR(MusicVolume(), 0.1f, 1e-4f);
    m_sound->PlayMusic(Tone("next.wav", 8.0), true);
    Run(5.1);
    EXPECT_EQ(m_sound->GetOldMusicStream(), 0u);
    EXPECT_NEAR(MusicVolume(), 0.1f, 1e-4f);

    // The slider at 0 mutes: silent at once, no fade-in, and the fading track goes too.
    m_sound->SetMusicVolume(3.0f);
    m_sound->PlayMusic(Tone("last.wav", 8.0), true);
    Run(1.0);
    m_sound->SetMusicVolume(0.0f);
    EXPECT_TRUE(m_sound->IsMusicMuted());
    EXPECT_EQ(m_sound->GetOldMusicStream(), 0u);
    EXPECT_EQ(MusicVolume(), 0.0f);
    EXPECT_LT(LevelOver(1.0), kSilence);
    EXPECT_EQ(MusicVolume(), 0.0f);
    m_sound->SetMusicVolume(5.0f);
    EXPECT_FALSE(m_sound->IsMusicMuted());
    EXPECT_FLOAT_EQ(MusicVolume(), 0.5f);
}

TEST_F(SoundManagerTest, SettingsSurviveARestartAndAChannelAtZeroPlaysAtATenthOfMaster)
{
    m_sound->LoadSettings();
    EXPECT_FLOAT_EQ(m_sound->GetMusicVolume(), 3.0f) << "no file: the defaults";
    m_sound->SetMusicVolume(7.0f);
    m_sound->SetVoiceVolume(0.0f);
    m_sound->SetSfxVolume(2.0f);
    m_sound->SetMasterVolume(9.0f);
    m_sound->SaveSettings();
    const std::string bytes = m_folder.Read("sys1.dfn");
    ASSERT_EQ(bytes.size(), 16u);
    float stored[4] = {};
    std::memcpy(stored, bytes.data(), sizeof stored);
    EXPECT_FLOAT_EQ(stored[0], 0.7f);
    EXPECT_FLOAT_EQ(stored[1], 0.0f);
    EXPECT_FLOAT_EQ(stored[2], 0.2f);
    EXPECT_FLOAT_EQ(stored[3], 0.9f);
    EXPECT_FALSE(std::filesystem::exists(m_folder.File("sys1.dfn.tmp")));

    Restart();
    m_sound->LoadSettings();
    EXPECT_FLOAT_EQ(m_sound->GetMusicVolume(), 7.0f);
    EXPECT_FLOAT_EQ(m_sound->GetVoiceVolume(), 0.0f);
    EXPECT_FLOAT_EQ(m_sound->GetSfxVolume(), 2.0f);
    EXPECT_FLOAT_EQ(m_sound->GetMasterVolume(), 9.0f);
    m_sound->PlayVoice(Tone("voice.wav", 1.0), {});
    EXPECT_NEAR(LevelOver(0.5), kTone * 0.9 * 0.1, 0.002) << "saved at 0, loaded unmuted";
}

TEST_F(SoundManagerTest, DamagedSettingsKeepTheDefaultsOfWhatCannotBeRead)
{
    // Writes the file, loads it into a fresh manager and compares music, voice, sfx and master on the 0..10 scale.
    const auto expectLoaded = [&](std::vector<float> values, std::size_t cut, std::vector<float> expected) {
        std::string bytes(values.size() * 4, '\0');
        std::memcpy(bytes.data(), values.data(), bytes.size());
        m_folder.Write("sys1.dfn", bytes.substr(0, bytes.size() - cut));
        Restart();
        m_sound->LoadSettings();
        const std::vector<float> loaded = {m_sound->GetMusicVolume(), m_sound->GetVoiceVolume(),
                                           m_sound->GetSfxVolume(), m_sound->GetMasterVolume()};
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_NEAR(loaded[i], expected[i], 1e-5f)
                << "value " << i << " of a " << bytes.size() - cut << "-byte file";
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float infinity = std::numeric_limits<float>::infinity();
    expectLoaded({0.5f, 0.6f, 0.7f, 0.4f}, 7, {5.0f, 6.0f, 8.0f, 10.0f});
    expectLoaded({0.5f, nan, 0.7f, infinity}, 0, {5.0f, 10.0f, 7.0f, 10.0f});
    expectLoaded({}, 0, {3.0f, 10.0f, 8.0f, 10.0f});
    expectLoaded({0.1f, 0.2f, 0.3f, 0.4f, 0.5f}, 0, {1.0f, 2.0f, 3.0f, 4.0f});
    m_sound->PlaySfx(Tone("effect.wav", 1.0));
    EXPECT_FALSE(m_sound->IsMusicMuted());
    EXPECT_NEAR(LevelOver(0.5), kTone * 0.3 * 0.4, 0.002) << "loaded volumes reach the streams";
}

TEST_F(SoundManagerTest, FilesThatCannotBeOpenedAreSkippedAndLoggedOnce)
{
    m_folder.Write("garbage.wav", "RIFF this is no sound at all");
    m_folder.Write("empty.ogg", "");
    const std::vector<std::u16string> bad = {Missing("missing.wav"), Missing("garbage.wav"), Missing("empty.ogg")};
    for (int round = 0; round < 2; ++round) {
        for (const std::u16string& name : bad) {
            m_sound->PlaySfx(name);
            m_sound->PlayVoice(name, {});
            m_sound->PlayMusic(name, round == 0);
        }
    }
    Playlist* broken = m_resources.GetPlaylist(u"broken");
    for (const std::u16string& name : bad)
        broken->AddTrack(name);
    m_sound->SetPlaylist(u"broken", true);
    broken->SetShuffle(true);
    m_sound->PlayMusic(Missing("missing.wav"), true);
    m_sound->SetPlaylist(u"nothing here", false);
    m_sound->PlayMusic(Missing("missing.wav"), true);
    m_sound->ClearPlaylist();
    m_sound->SetDefaultPlaylist(u"broken");
    m_sound->PlayMusic(Missing("missing.wav"), false);
    Run(0.2);
    EXPECT_EQ(m_sound->GetMusicStream(), 0u);
    EXPECT_EQ(Device().GetStreamCount(), 0u);
    for (const char* name : {"missing.wav", "garbage.wav", "empty.ogg"})
        EXPECT_EQ(LogCount(name), 1u) << name << " in\n" << Log();

    // A playlist with one good track among broken ones finds it.
    broken->SetShuffle(false);
    broken->AddTrack(Tone("good.wav", 1.0));
    m_sound->SetPlaylist(u"broken", false);
    ASSERT_NE(m_sound->GetMusicStream(), 0u);
    EXPECT_EQ(Device().GetLength(m_sound->GetMusicStream()), Frames(1.0));
}

TEST_F(SoundManagerTest, ClearingThePlaylistFadesOutAndTheDefaultTakesOverOnlyAfterTheNextTrack)
{
    Playlist* day = m_resources.GetPlaylist(u"day");
    day->AddTrack(Tone("day.wav", 0.5, 440.0));
    Playlist* night = m_resources.GetPlaylist(u"night");
    night->AddTrack(Tone("night.wav", 0.4, 660.0));
    m_sound->SetDefaultPlaylist(u"night");
    EXPECT_EQ(m_sound->GetMusicStream(), 0u) << "a default playlist plays nothing by itself";
    m_sound->SetDefaultPlaylist(u"");
    m_sound->SetDefaultPlaylist(u"night");

    m_sound->SetPlaylist(u"day", false);
    m_sound->ClearPlaylist();
    EXPECT_EQ(m_sound->GetCurrentPlaylist(), nullptr);
    EXPECT_TRUE(m_sound->GetCurrentPlaylistName().empty());
    EXPECT_NE(m_sound->GetOldMusicStream(), 0u);
    Run(1.0);
    EXPECT_EQ(Device().GetStreamCount(), 0u) << "nothing follows a cleared playlist";

    m_sound->PlayMusic(Tone("single.wav", 0.3, 550.0), false);
    Run(0.35);
    ASSERT_NE(m_sound->GetMusicStream(), 0u);
    EXPECT_EQ(Device().GetLength(m_sound->GetMusicStream()), Frames(0.4)) << "the default playlist took over";
    EXPECT_EQ(m_sound->GetCurrentPlaylistName(), u"night");
}

TEST_F(SoundManagerTest, RestoringAPlaylistFadesItInAndAnEmptyNameStartsNothing)
{
    m_resources.GetPlaylist(u"saved")->AddTrack(Tone("saved.wav", 2.0));
    const std::u16string file = Missing("game.sav");
    {
        BinarySerializer writer(file, BinarySerializer::Direction::Write);
        writer.WriteString(u"saved");
        writer.WriteString(u"");
    }
    BinarySerializer reader(file, BinarySerializer::Direction::Read);
    m_sound->RestorePlaylist(reader);
    EXPECT_EQ(m_sound->GetCurrentPlaylistName(), u"saved");
    ASSERT_NE(m_sound->GetMusicStream(), 0u);
    EXPECT_EQ(MusicVolume(), 0.0f);
    Run(0.5);
    EXPECT_GT(MusicVolume(), 0.0f);

    m_sound->RestorePlaylist(reader);
    EXPECT_EQ(m_sound->GetCurrentPlaylist(), nullptr);
    EXPECT_TRUE(m_sound->GetCurrentPlaylistName().empty());
    EXPECT_EQ(Device().GetStreamCount(), 1u) << "the playing track is left alone";
}

TEST_F(SoundManagerTest, SoundsOnlyInsideAnArchivePlay)
{
    std::filesystem::create_directories(m_folder.Path() / "packed");
    ASSERT_TRUE(WriteTone(m_folder.File("packed/inside.wav"), 1.0, 440.0, kTone));
    std::string error;
    ASSERT_TRUE(ArchiveWriter::Pack(m_folder.File("data.pak"), {m_folder.File("packed")}, "secret", error)) << error;
    std::filesystem::remove_all(m_folder.Path() / "packed");
    ASSERT_TRUE(m_hge->Resource_AttachPack(m_folder.File("data.pak").c_str(), "secret"));

    int done = 0;
    m_sound->PlayVoice(u"packed/inside.wav", Callback<void()>([&] { ++done; }));
    m_sound->PlaySfx(u"packed/inside.wav");
    ASSERT_NE(m_sound->GetVoiceStream(), 0u);
    ASSERT_EQ(m_sound->GetEffectStreams().size(), 1u);
    m_sound->SetSfxVolume(0.0f);
    EXPECT_NEAR(LevelOver(0.9), kTone, 0.01) << "the streamed voice reads the archive block to the end";
    Run(0.2);
    EXPECT_EQ(done, 1);
    EXPECT_EQ(Device().GetStreamCount(), 0u);
    EXPECT_EQ(LogCount("inside.wav"), 0u) << Log();
}

} // namespace
} // namespace Vel
