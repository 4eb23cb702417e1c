#pragma once

// For tests of sound: sine tones written at test time with libsndfile in any format it writes, and a sink that
// keeps what a rendering audio device produced so a test can measure its level over time.

#include "platform/AudioDevice.h"

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace Vel::TestTools {

enum class ToneFormat
{
    Wav,
    Ogg,
    Flac
};

// A sine of the given amplitude (0..1) at 44.1 kHz lasting seconds; true when the file was written.
inline bool WriteTone(const std::string& path, double seconds, double frequency = 440.0, double amplitude = 0.5,
                      int channels = 2, ToneFormat format = ToneFormat::Wav)
{
    constexpr int kRate = 44100;
    constexpr int kFormats[] = {SF_FORMAT_WAV | SF_FORMAT_PCM_16, SF_FORMAT_OGG | SF_FORMAT_VORBIS,
                                SF_FORMAT_FLAC | SF_FORMAT_PCM_16};
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = channels;
    info.format = kFormats[static_cast<int>(format)];
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr)
        return false;
    const auto frames = static_cast<sf_count_t>(std::llround(seconds * kRate));
    std::vector<float> samples(static_cast<std::size_t>(frames) * static_cast<std::size_t>(channels));
    for (sf_count_t frame = 0; frame < frames; ++frame) {
        const double value = amplitude * std::sin(2.0 * M_PI * frequency * static_cast<double>(frame) / kRate);
        for (int channel = 0; channel < channels; ++channel)
            samples[static_cast<std::size_t>(frame * channels + channel)] = static_cast<float>(value);
    }
    const bool written = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}

// Keeps every rendered stereo frame; levels are root mean squares on the 0..1 scale of a full-scale sine's peak.
class LevelMeter : public AudioSink
{
public:
    void Write(const std::int16_t* samples, std::size_t frames) override
    {
        m_samples.insert(m_samples.end(), samples, samples + frames * 2);
    }

    [[nodiscard]] std::size_t Frames() const { return m_samples.size() / 2; }
    void Clear() { m_samples.clear(); }

    // RMS of both channels over [firstFrame, firstFrame + count), times sqrt(2) so a sine of amplitude a reads a.
    [[nodiscard]] double Level(std::size_t firstFrame, std::size_t count) const
    {
        const std::size_t end = std::min(Frames(), firstFrame + count);
        if (firstFrame >= end)
            return 0.0;
        double sum = 0.0;
        for (std::size_t i = firstFrame * 2; i < end * 2; ++i) {
            const double value = m_samples[i] / 32768.0;
            sum += value * value;
        }
        return std::sqrt(2.0 * sum / static_cast<double>((end - firstFrame) * 2));
    }
    // The level of the last count frames rendered.
    [[nodiscard]] double RecentLevel(std::size_t count) const
    {
        return Level(Frames() > count ? Frames() - count : 0, count);
    }

private:
    std::vector<std::int16_t> m_samples;
};

// Every stereo frame of a 16-bit stereo WAV file (what --audio-out writes); rate gets its sample rate. Empty when the
// file cannot be read.
inline LevelMeter ReadRendered(const std::string& path, int* rate = nullptr)
{
    LevelMeter meter;
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    if (file == nullptr)
        return meter;
    if (rate != nullptr)
        *rate = info.samplerate;
    std::vector<std::int16_t> samples(static_cast<std::size_t>(info.frames) * 2);
    if (info.channels == 2)
        meter.Write(samples.data(), static_cast<std::size_t>(sf_readf_short(file, samples.data(), info.frames)));
    sf_close(file);
    return meter;
}

} // namespace Vel::TestTools
