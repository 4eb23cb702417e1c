#include "AllocationCounter.h"
#include "AudioTools.h"
#include "TempFolder.h"

#include "platform/AudioDevice.h"
#include "platform/PlatformOptions.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

using TestTools::LevelMeter;
using TestTools::TempFolder;
using TestTools::ToneFormat;

constexpr double kFrameTime = 1.0 / 60.0;
constexpr std::size_t kFrameSamples = 735; // frames rendered per Update at 1/60 s
constexpr double kAmplitude = 0.5;
constexpr double kSilence = 1e-4; // OpenAL dithers its 16-bit output by one step

struct StopEvent
{
    HSTREAM stream = 0;
    StopReason reason = StopReason::StopCalled;
    int update = 0;
};

// Records the stop reports, with the number of the Update that made them; an optional hook acts on each one.
class EventLog : public StopCallback
{
public:
    void StreamStopped(HSTREAM stream, StopReason reason) override
    {
        events.push_back({stream, reason, update});
        if (hook)
            hook(stream, reason);
    }

    std::vector<StopEvent> events;
    std::function<void(HSTREAM, StopReason)> hook;
    int update = 0;
};

std::string ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const char* FormatName(ToneFormat format)
{
    return format == ToneFormat::Wav ? "wav" : format == ToneFormat::Ogg ? "ogg" : "flac";
}

class AudioDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override { SetOptions({}); }
    void TearDown() override { SetPlatformOptions({}); }

    static void SetOptions(const std::string& audioOutFile, bool headless = true)
    {
        PlatformOptions options;
        options.headless = headless;
        options.audioOutFile = audioOutFile;
        SetPlatformOptions(options);
    }

    [[nodiscard]] std::unique_ptr<AudioDevice> OpenDevice()
    {
        auto device = AudioDevice::Open();
        device->SetSink(&m_meter);
        device->RegisterCallback(&m_log);
        return device;
    }

    // A tone in the temporary folder; its path.
    std::string Tone(const std::string& name, double seconds, ToneFormat format = ToneFormat::Wav, int channels = 2)
    {
        const std::string path = m_folder.File(name);
        EXPECT_TRUE(TestTools::WriteTone(path, seconds, 440.0, kAmplitude, channels, format)) << path;
        return path;
    }

    // Runs updates of dt; returns the events they reported.
    std::vector<StopEvent> Run(AudioDevice& device, int updates, double dt = kFrameTime)
    {
        const std::size_t before = m_log.events.size();
        for (int i = 0; i < updates; ++i) {
            ++m_log.update;
            device.Update(dt);
        }
        return {m_log.events.begin() + static_cast<std::ptrdiff_t>(before), m_log.events.end()};
    }

    TempFolder m_folder;
    LevelMeter m_meter;
    EventLog m_log;
};

// The ways a sound can be opened: from the file or from memory, streamed or decoded whole.
struct OpenWay
{
    bool memory;
    bool streaming;
};
constexpr OpenWay kOpenWays[] = {{false, true}, {false, false}, {true, true}, {true, false}};

HSTREAM OpenWith(AudioDevice& device, const OpenWay& way, const std::string& path, const std::string& bytes)
{
    return way.memory ? device.OpenSound(bytes.data(), bytes.size(), way.streaming)
                      : device.OpenSound(path, way.streaming);
}

TEST_F(AudioDeviceTest, DecodedTonesPlayAtTheirLevelAndFollowTheGain)
{
    auto device = OpenDevice();
    ASSERT_EQ(device->GetOutput(), AudioDevice::Output::Rendered);
    for (ToneFormat format : {ToneFormat::Wav, ToneFormat::Ogg, ToneFormat::Flac}) {
        const std::string path = Tone(std::string("tone.") + FormatName(format), 2.0, format);
        const std::string bytes = m_folder.Read(std::string("tone.") + FormatName(format));
        for (const OpenWay& way : kOpenWays) {
            SCOPED_TRACE(std::string(FormatName(format)) + (way.memory ? " memory" : " file") +
                         (way.streaming ? " streamed" : " whole"));
            const HSTREAM stream = OpenWith(*device, way, path, bytes);
            ASSERT_NE(stream, 0u);
            EXPECT_EQ(device->GetLength(stream), 88200);
            EXPECT_TRUE(device->IsSeekable(stream));
            device->Play(stream);
            Run(*device, 20);
            EXPECT_NEAR(m_meter.RecentLevel(3 * kFrameSamples), kAmplitude, 0.01);
            device->SetVolume(stream, 0.5f);
            Run(*device, 3);
            EXPECT_NEAR(m_meter.RecentLevel(2 * kFrameSamples), kAmplitude * 0.5, 0.006);
            EXPECT_EQ(device->GetPosition(stream), 23 * 735);
            device->Release(stream);
            Run(*device, 1);
            EXPECT_LT(m_meter.RecentLevel(kFrameSamples), kSilence);
        }
    }
    EXPECT_EQ(device->GetStreamCount(), 0u);
    EXPECT_TRUE(m_log.events.empty());
}

TEST_F(AudioDeviceTest, MonoAndManyChannelSoundsPlayOnBothSidesAtFullLevel)
{
    auto device = OpenDevice();
    for (int channels : {1, 4}) {
        SCOPED_TRACE(channels);
        const HSTREAM stream =
            device->OpenSound(Tone("tone" + std::to_string(channels) + ".wav", 1.0, ToneFormat::Wav, channels), true);
        ASSERT_NE(stream, 0u);
        device->Play(stream);
        Run(*device, 10);
        EXPECT_NEAR(m_meter.RecentLevel(3 * kFrameSamples), kAmplitude, 0.01);
        device->Release(stream);
    }
}

TEST_F(AudioDeviceTest, ASoundEndsOnceAtTheUpdateOfItsLastSampleAndPlaysAgainFromTheStart)
{
    auto device = OpenDevice();
    struct Case
    {
        ToneFormat format;
        bool streaming;
    };
    for (const Case& test : {Case{ToneFormat::Wav, true}, Case{ToneFormat::Wav, false}, Case{ToneFormat::Ogg, true}}) {
        SCOPED_TRACE(std::string(FormatName(test.format)) + (test.streaming ? " streamed" : " whole"));
        const HSTREAM stream =
            device->OpenSound(Tone(std::string("second.") + FormatName(test.format), 1.0, test.format), test.streaming);
        ASSERT_NE(stream, 0u);
        for (int round = 0; round < 2; ++round) {
            device->Play(stream);
            const int start = m_log.update;
            EXPECT_TRUE(Run(*device, 59).empty());
            EXPECT_TRUE(device->IsPlaying(stream));
            EXPECT_NEAR(m_meter.RecentLevel(kFrameSamples), kAmplitude, 0.03);
            const auto events = Run(*device, 5);
            ASSERT_EQ(events.size(), 1u);
            EXPECT_EQ(events[0].stream, stream);
            EXPECT_EQ(events[0].reason, StopReason::StreamEnded);
            EXPECT_EQ(events[0].update - start, 60);
            EXPECT_FALSE(device->IsPlaying(stream));
            EXPECT_EQ(device->GetPosition(stream), 44100);
            EXPECT_LT(m_meter.RecentLevel(4 * kFrameSamples), kSilence);
        }
        device->Release(stream);
    }
}

TEST_F(AudioDeviceTest, StopPausesWithOneReportAndPlayResumesWhereItStopped)
{
    auto device = OpenDevice();
    const std::string wav = Tone("pause.wav", 2.0);
    const std::string ogg = Tone("pause.ogg", 2.0, ToneFormat::Ogg);
    for (const auto& [path, streaming] : {std::pair{wav, true}, std::pair{wav, false}, std::pair{ogg, true}}) {
        SCOPED_TRACE(path + (streaming ? " streamed" : " whole"));
        const HSTREAM stream = device->OpenSound(path, streaming);
        ASSERT_NE(stream, 0u);
        device->Play(stream);
        Run(*device, 30);
        device->Stop(stream);
        EXPECT_FALSE(device->IsPlaying(stream));
        const auto events = Run(*device, 1);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].reason, StopReason::StopCalled);
        device->Stop(stream);
        EXPECT_TRUE(Run(*device, 10).empty());
        EXPECT_EQ(device->GetPosition(stream), 30 * 735);
        EXPECT_LT(m_meter.RecentLevel(10 * kFrameSamples), kSilence);

        device->Play(stream);
        Run(*device, 1);
        EXPECT_EQ(device->GetPosition(stream), 31 * 735);
        EXPECT_NEAR(m_meter.RecentLevel(kFrameSamples), kAmplitude, 0.03);

        // A pause within one frame is never heard of.
        device->Stop(stream);
        device->Play(stream);
        EXPECT_TRUE(Run(*device, 2).empty());
        EXPECT_TRUE(device->IsPlaying(stream));
        EXPECT_EQ(device->GetPosition(stream), 33 * 735);
        device->Release(stream);
    }
    EXPECT_TRUE(Run(*device, 1).empty());
}

TEST_F(AudioDeviceTest, TheCallbackMayReleaseOrPlayStreamsWhoseReportsArePending)
{
    auto device = OpenDevice();
    const std::string path = Tone("three.wav", 1.0);
    const HSTREAM first = device->OpenSound(path, true);
    const HSTREAM second = device->OpenSound(path, true);
    const HSTREAM third = device->OpenSound(path, false);
    ASSERT_TRUE(first != 0 && second != 0 && third != 0);
    for (HSTREAM stream : {first, second, third})
        device->Play(stream);
    Run(*device, 1);
    for (HSTREAM stream : {first, second, third})
        device->Stop(stream);
    m_log.hook = [&](HSTREAM stream, StopReason) {
        device->Release(second);
        device->Play(third);
        device->Release(stream);
    };
    const auto events = Run(*device, 1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].stream, first);
    EXPECT_EQ(device->GetStreamCount(), 1u);
    EXPECT_TRUE(device->IsPlaying(third));

    // Releasing a playing stream, or one that has just ended, reports nothing.
    m_log.hook = nullptr;
    Run(*device, 58);
    device->Release(third);
    EXPECT_TRUE(Run(*device, 5).empty());
    EXPECT_EQ(device->GetStreamCount(), 0u);
}

TEST_F(AudioDeviceTest, VolumesAreKeptAsGivenAndTheMixerHearsThemClamped)
{
    auto device = OpenDevice();
    const HSTREAM stream = device->OpenSound(Tone("volume.wav", 1.0), true);
    ASSERT_NE(stream, 0u);
    EXPECT_FLOAT_EQ(device->GetVolume(stream), 1.0f);
    device->SetVolume(stream, 1.3f);
    EXPECT_FLOAT_EQ(device->GetVolume(stream), 1.3f);
    EXPECT_FLOAT_EQ(device->GetMixerVolume(stream), 1.0f);
    device->Play(stream);
    Run(*device, 5);
    EXPECT_NEAR(m_meter.RecentLevel(3 * kFrameSamples), kAmplitude, 0.01);
    device->SetVolume(stream, -0.4f);
    EXPECT_FLOAT_EQ(device->GetVolume(stream), -0.4f);
    EXPECT_FLOAT_EQ(device->GetMixerVolume(stream), 0.0f);
    device->SetVolume(stream, 0.25f);
    EXPECT_FLOAT_EQ(device->GetMixerVolume(stream), 0.25f);
}

TEST_F(AudioDeviceTest, HandlesThatNameNothingDoNothing)
{
    auto device = OpenDevice();
    const HSTREAM stream = device->OpenSound(Tone("handle.wav", 1.0), false);
    ASSERT_NE(stream, 0u);
    device->Release(stream);
    const HSTREAM next = device->OpenSound(m_folder.File("handle.wav"), false);
    EXPECT_GT(next, stream);
    for (HSTREAM handle : {HSTREAM{0}, stream, HSTREAM{9999}}) {
        device->Play(handle);
        device->Stop(handle);
        device->SetVolume(handle, 0.5f);
        device->SetPosition(handle, 100);
        device->Release(handle);
        EXPECT_FALSE(device->IsPlaying(handle));
        EXPECT_FALSE(device->IsSeekable(handle));
        EXPECT_EQ(device->GetVolume(handle), 0.0f);
        EXPECT_EQ(device->GetMixerVolume(handle), 0.0f);
        EXPECT_EQ(device->GetPosition(handle), 0);
        EXPECT_EQ(device->GetLength(handle), 0);
    }
    EXPECT_EQ(device->GetStreamCount(), 1u);
    EXPECT_TRUE(Run(*device, 2).empty());
}

TEST_F(AudioDeviceTest, TwoDevicesKeepTheirOwnStreams)
{
    auto first = OpenDevice();
    const HSTREAM stream = first->OpenSound(Tone("first.wav", 1.0), true);
    ASSERT_NE(stream, 0u);
    LevelMeter secondMeter;
    auto second = AudioDevice::Open();
    second->SetSink(&secondMeter);
    EXPECT_EQ(second->GetLength(stream), 0);
    first->Play(stream);
    second->Update(kFrameTime);
    Run(*first, 2);
    EXPECT_NEAR(m_meter.RecentLevel(kFrameSamples), kAmplitude, 0.03);
    EXPECT_LT(secondMeter.RecentLevel(kFrameSamples), kSilence);
    second.reset();
    Run(*first, 1);
    EXPECT_EQ(first->GetPosition(stream), 3 * 735);
}

TEST_F(AudioDeviceTest, DataThatHoldsNoSoundOpensNothing)
{
    auto device = OpenDevice();
    const std::string data = VEL_TEST_DATA;
    std::vector<std::string> files = {data + "/sound_empty.wav", data + "/sound_no_frames.wav",
                                      data + "/sound_truncated_header.wav", data + "/sound_noise.ogg",
                                      m_folder.File("missing.wav")};
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        std::string bytes;
        if (std::filesystem::exists(file))
            bytes = ReadBytes(file);
        for (bool streaming : {true, false}) {
            EXPECT_EQ(device->OpenSound(file, streaming), 0u);
            EXPECT_EQ(device->OpenSound(bytes.data(), bytes.size(), streaming), 0u);
        }
    }
    EXPECT_EQ(device->OpenSound(nullptr, 100, true), 0u);
    EXPECT_EQ(device->GetStreamCount(), 0u);
}

TEST_F(AudioDeviceTest, ATruncatedFilePlaysWhatItHoldsAndEnds)
{
    auto device = OpenDevice();
    const std::string path = Tone("cut.wav", 1.0);
    std::filesystem::resize_file(path, 44 + 11025 * 4);
    for (bool streaming : {true, false}) {
        const HSTREAM stream = device->OpenSound(path, streaming);
        ASSERT_NE(stream, 0u);
        device->Play(stream);
        const auto events = Run(*device, 20);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].reason, StopReason::StreamEnded);
        EXPECT_EQ(device->GetPosition(stream), 11025);
        device->Release(stream);
    }
}

TEST_F(AudioDeviceTest, SetPositionMovesPlayback)
{
    auto device = OpenDevice();
    const std::string path = Tone("seek.wav", 2.0);
    for (bool streaming : {true, false}) {
        SCOPED_TRACE(streaming ? "streamed" : "whole");
        const HSTREAM stream = device->OpenSound(path, streaming);
        ASSERT_NE(stream, 0u);
        const std::int64_t nearEnd = 88200 - 3 * 735;
        device->SetPosition(stream, nearEnd);
        EXPECT_EQ(device->GetPosition(stream), nearEnd);
        device->Play(stream);
        auto events = Run(*device, 3);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].reason, StopReason::StreamEnded);

        device->Play(stream);
        Run(*device, 2);
        EXPECT_EQ(device->GetPosition(stream), 2 * 735);
        device->SetPosition(stream, 1000);
        Run(*device, 1);
        EXPECT_EQ(device->GetPosition(stream), 1000 + 735);
        device->Stop(stream);
        device->SetPosition(stream, 500000);
        EXPECT_EQ(device->GetPosition(stream), 88200);
        Run(*device, 1);
        device->Release(stream);
    }
}

TEST_F(AudioDeviceTest, EachUpdateRendersItsFrameTimeCarryingFractions)
{
    auto device = OpenDevice();
    Run(*device, 60);
    EXPECT_EQ(m_meter.Frames(), 44100u);
    Run(*device, 1000, 0.001);
    EXPECT_EQ(m_meter.Frames(), 88200u);
    // 1/11 s is 4009.0909... frames, whose binary sum falls just short of 44,100 after eleven of them.
    Run(*device, 11, 1.0 / 11.0);
    EXPECT_EQ(m_meter.Frames(), 132300u);
    Run(*device, 7, 0.5 / 44100.0);
    EXPECT_EQ(m_meter.Frames(), 132303u);
    Run(*device, 1, 0.5 / 44100.0);
    EXPECT_EQ(m_meter.Frames(), 132304u);
    Run(*device, 1, 0.0);
    Run(*device, 1, -1.0);
    Run(*device, 1, std::nan(""));
    EXPECT_EQ(m_meter.Frames(), 132304u);
    Run(*device, 1, 0.25);
    EXPECT_EQ(m_meter.Frames(), 132304u + 11025u);
    EXPECT_LT(m_meter.RecentLevel(11025), kSilence);
}

// Reads a 16-bit stereo WAV file; empty when it is not one.
std::vector<std::int16_t> ReadWav(const std::string& path)
{
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return {};
    std::vector<std::int16_t> samples;
    if (info.channels == 2 && info.samplerate == 44100 && info.format == (SF_FORMAT_WAV | SF_FORMAT_PCM_16)) {
        samples.resize(static_cast<std::size_t>(info.frames) * 2);
        samples.resize(static_cast<std::size_t>(sf_readf_short(file, samples.data(), info.frames)) * 2);
    }
    sf_close(file);
    return samples;
}

TEST_F(AudioDeviceTest, TheSoundFileReceivesEveryRenderedFrame)
{
    const std::string out = m_folder.File("out.wav");
    SetOptions(out, false);
    auto device = OpenDevice();
    EXPECT_EQ(device->GetOutput(), AudioDevice::Output::Rendered);
    EXPECT_TRUE(device->TakeNotices().empty());
    const HSTREAM stream = device->OpenSound(Tone("written.ogg", 1.0, ToneFormat::Ogg), true);
    ASSERT_NE(stream, 0u);
    device->Play(stream);
    Run(*device, 37, 0.0123);
    device.reset();
    const std::vector<std::int16_t> written = ReadWav(out);
    ASSERT_EQ(written.size(), m_meter.Frames() * 2);
    EXPECT_EQ(m_meter.Frames(), static_cast<std::size_t>(std::floor(37 * 0.0123 * 44100 + 1e-6)));
    double sum = 0.0;
    for (std::int16_t sample : written)
        sum += (sample / 32768.0) * (sample / 32768.0);
    EXPECT_NEAR(std::sqrt(2.0 * sum / static_cast<double>(written.size())), m_meter.Level(0, m_meter.Frames()), 1e-9);
}

TEST_F(AudioDeviceTest, ASoundFileThatCannotBeWrittenIsNamedAndRenderingGoesOn)
{
    const std::string out = m_folder.File("no/such/folder/out.wav");
    SetOptions(out, false);
    auto device = OpenDevice();
    EXPECT_EQ(device->GetOutput(), AudioDevice::Output::Rendered);
    const auto notices = device->TakeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find(out), std::string::npos);
    EXPECT_TRUE(device->TakeNotices().empty());
    Run(*device, 2);
    EXPECT_EQ(m_meter.Frames(), 2 * kFrameSamples);
}

TEST_F(AudioDeviceTest, WithoutASoundCardTheDeviceRendersIntoNothing)
{
    auto headless = OpenDevice();
    EXPECT_EQ(headless->GetOutput(), AudioDevice::Output::Rendered);
    EXPECT_TRUE(headless->TakeNotices().empty());
    headless.reset();

    SetPlatformOptions({});
    auto device = OpenDevice();
    if (device->GetOutput() == AudioDevice::Output::Speakers)
        GTEST_SKIP() << "this machine has a sound device";
    ASSERT_EQ(device->GetOutput(), AudioDevice::Output::Rendered);
    const auto notices = device->TakeNotices();
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find("no sound device"), std::string::npos);
    const HSTREAM stream = device->OpenSound(Tone("quiet.wav", 0.1), true);
    ASSERT_NE(stream, 0u);
    device->Play(stream);
    EXPECT_EQ(Run(*device, 7).size(), 1u);
}

TEST_F(AudioDeviceTest, UpdatesWithTwentyPlayingStreamsAllocateNothing)
{
    auto device = OpenDevice();
    device->SetSink(nullptr);
    const std::string ogg = Tone("many.ogg", 8.0, ToneFormat::Ogg);
    const std::string wav = Tone("many.wav", 8.0);
    std::vector<HSTREAM> streams;
    for (int i = 0; i < 20; ++i) {
        streams.push_back(device->OpenSound(i % 2 == 0 ? ogg : wav, i % 4 != 3));
        device->SetVolume(streams.back(), 0.05f);
        device->Play(streams.back());
    }
    Run(*device, 30);
    TestTools::AllocationScope scope;
    Run(*device, 300);
    EXPECT_EQ(scope.Allocations(), 0u);
    for (HSTREAM stream : streams)
        EXPECT_TRUE(device->IsPlaying(stream));
}

} // namespace
} // namespace Vel
