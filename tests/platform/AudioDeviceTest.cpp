#include "AudioTools.h"
#include "ProcessRecordGuard.h"
#include "TempFolder.h"

#include "platform/AudioDevice.h"
#include "platform/PlatformOptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace Vel {
namespace {

using TestTools::ToneFormat;

constexpr std::size_t kFrameSamples = 735; // frames rendered per Update at 1/60 s
constexpr double kAmplitude = 0.5;
constexpr double kSilence = 1e-4; // OpenAL dithers its 16-bit output by one step

struct StopEvent
{
    HSTREAM stream;
    StopReason reason;
    int update;
};

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

class AudioDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PlatformOptions options;
        options.headless = true;
        SetPlatformOptions(options);
    }

    [[nodiscard]] std::unique_ptr<AudioDevice> OpenDevice()
    {
        auto device = AudioDevice::Open();
        device->SetSink(&m_meter);
        device->RegisterCallback(&m_log);
        return device;
    }

    std::string Tone(const std::string& name, double seconds, ToneFormat format = ToneFormat::Wav, int channels = 2)
    {
        const std::string path = m_folder.File(name);
        EXPECT_TRUE(TestTools::WriteTone(path, seconds, 440.0, kAmplitude, channels, format)) << path;
        return path;
    }

    // Runs updates of dt; returns the events they reported.
    std::vector<StopEvent> Run(AudioDevice& device, int updates, double dt = 1.0 / 60.0)
    {
        const std::size_t before = m_log.events.size();
        for (int i = 0; i < updates; ++i) {
            ++m_log.update;
            device.Update(dt);
        }
        return {m_log.events.begin() + static_cast<std::ptrdiff_t>(before), m_log.events.end()};
    }

    TestTools::ProcessRecordGuard m_records;
    TestTools::TempFolder m_folder;
    TestTools::LevelMeter m_meter;
    EventLog m_log;
};

// Levels at a channel volume are the sound manager's tests; here every layout plays at the tone's level.
TEST_F(AudioDeviceTest, EachFormatAndLayoutPlaysStopsWithOneReportAndEndsOnceAtItsLastSampleThenPlaysFromTheStart)
{
    auto device = OpenDevice();
    using Decoding = AudioDevice::Decoding;
    // Mono is copied to both sides and four channels give their first two. Memory is how archived sounds open.
    // clang-format off
    const std::tuple<ToneFormat, int, Decoding, bool> cases[] = {{ToneFormat::Wav, 2, Decoding::Streamed, false},
        {ToneFormat::Wav, 1, Decoding::Whole, true}, {ToneFormat::Ogg, 2, Decoding::Streamed, true},
        {ToneFormat::Ogg, 1, Decoding::Whole, false}, {ToneFormat::Wav, 4, Decoding::Streamed, false}};
    // clang-format on
    int index = 0;
    for (const auto& [format, channels, decoding, inMemory] : cases) {
        const std::string name = "tone" + std::to_string(++index);
        SCOPED_TRACE(name);
        const std::string path = Tone(name, 1.0, format, channels);
        const std::string bytes = m_folder.Read(name);
        const HSTREAM stream =
            inMemory ? device->OpenSound(bytes.data(), bytes.size(), decoding) : device->OpenSound(path, decoding);
        EXPECT_EQ(device->GetLength(stream), 44100);
        device->Play(stream);
        Run(*device, 30);
        device->Stop(stream);
        const auto stopped = Run(*device, 1);
        device->Stop(stream);
        EXPECT_TRUE(Run(*device, 10).empty());
        ASSERT_EQ(stopped.size(), 1u);
        EXPECT_EQ(stopped[0].reason, StopReason::StopCalled);
        EXPECT_LT(m_meter.RecentLevel(10 * kFrameSamples), kSilence);

        device->Play(stream);
        Run(*device, 1);
        EXPECT_NEAR(m_meter.RecentLevel(kFrameSamples), kAmplitude, 0.03);
        device->Stop(stream);
        device->Play(stream);
        EXPECT_TRUE(Run(*device, 2).empty()) << "a pause within one frame is never heard of";
        EXPECT_EQ(device->GetPosition(stream), 33 * 735);
        // The rest takes 27 updates; played again, the whole second takes 60.
        for (const int updates : {27, 60}) {
            const int start = m_log.update;
            const auto events = Run(*device, updates + 4);
            ASSERT_EQ(events.size(), 1u);
            EXPECT_EQ(events[0].reason, StopReason::StreamEnded);
            EXPECT_EQ(events[0].update - start, updates);
            EXPECT_EQ(device->GetPosition(stream), 44100);
            EXPECT_LT(m_meter.RecentLevel(4 * kFrameSamples), kSilence);
            device->Play(stream);
        }
        device->Release(stream);
    }
}

TEST_F(AudioDeviceTest, TheCallbackMayReleaseOrPlayStreamsWhoseReportsArePending)
{
    auto device = OpenDevice();
    const std::string path = Tone("three.wav", 1.0);
    const HSTREAM first = device->OpenSound(path, AudioDevice::Decoding::Streamed);
    const HSTREAM second = device->OpenSound(path, AudioDevice::Decoding::Streamed);
    const HSTREAM third = device->OpenSound(path, AudioDevice::Decoding::Whole);
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

    m_log.hook = nullptr;
    Run(*device, 58);
    device->Release(third);
    EXPECT_TRUE(Run(*device, 5).empty()) << "a stream released as it ends reports nothing";
    for (HSTREAM handle : {HSTREAM{0}, third, HSTREAM{9999}}) {
        device->Play(handle);
        device->Release(handle);
        EXPECT_EQ(device->GetLength(handle), 0);
    }
    EXPECT_EQ(device->GetStreamCount(), 0u);
}

TEST_F(AudioDeviceTest, DataThatHoldsNoSoundOpensNothingAndATruncatedFilePlaysWhatItHolds)
{
    auto device = OpenDevice();
    const std::string data = VEL_TEST_DATA;
    for (const std::string& file :
         {data + "/sound_empty.wav", data + "/sound_no_frames.wav", data + "/sound_truncated_header.wav",
          data + "/sound_noise.ogg", m_folder.File("missing.wav")}) {
        SCOPED_TRACE(file);
        std::ifstream in(file, std::ios::binary);
        const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        for (const auto decoding : {AudioDevice::Decoding::Streamed, AudioDevice::Decoding::Whole}) {
            EXPECT_EQ(device->OpenSound(file, decoding), 0u);
            EXPECT_EQ(device->OpenSound(bytes.data(), bytes.size(), decoding), 0u);
        }
    }
    EXPECT_EQ(device->OpenSound(nullptr, 100, AudioDevice::Decoding::Streamed), 0u);

    const std::string path = Tone("cut.wav", 1.0);
    std::filesystem::resize_file(path, 44 + 11025 * 4);
    for (const auto decoding : {AudioDevice::Decoding::Streamed, AudioDevice::Decoding::Whole}) {
        const HSTREAM stream = device->OpenSound(path, decoding);
        device->Play(stream);
        const auto events = Run(*device, 20);
        ASSERT_EQ(events.size(), 1u);
        EXPECT_EQ(events[0].reason, StopReason::StreamEnded);
        EXPECT_EQ(device->GetPosition(stream), 11025);
        device->Release(stream);
    }
}

TEST_F(AudioDeviceTest, EachUpdateRendersItsFrameTimeCarryingFractions)
{
    auto device = OpenDevice();
    // 1/11 s is 4009.0909... frames, whose binary sum falls just short of 44,100 after eleven of them.
    // clang-format off
    for (const auto& [updates, dt, total] : {std::tuple{60, 1.0 / 60.0, 44100u}, {1000, 0.001, 88200u},
             {11, 1.0 / 11.0, 132300u}, {7, 0.5 / 44100.0, 132303u}, {1, 0.5 / 44100.0, 132304u}, {1, 0.0, 132304u},
             {1, -1.0, 132304u}, {1, std::nan(""), 132304u}}) {
        Run(*device, updates, dt);
        EXPECT_EQ(m_meter.Frames(), total) << updates << " updates of " << dt;
    }
    // clang-format on
}

} // namespace
} // namespace Vel
