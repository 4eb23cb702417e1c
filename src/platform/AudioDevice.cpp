#include "platform/AudioDevice.h"

#include "platform/FrameActivity.h"

#include "AudioOutput.h"
#include "AudioStream.h"
#include "SampleSource.h"
#include "platform/PlatformOptions.h"

#include <algorithm>
#include <cmath>

namespace Vel {

namespace {

// A longer frame (a debugger stop, a stalled machine) is rendered as this much, so one Update never mixes minutes.
constexpr double kMaxRenderSeconds = 10.0;
// dt * kSampleRate is rarely exact in binary: 60 frames of 1/60 s must still make 44,100 frames, not 44,099.
constexpr double kFrameTolerance = 1e-6;

AudioStream::Mode ModeOf(AudioDevice::Decoding decoding)
{
    return decoding == AudioDevice::Decoding::Streamed ? AudioStream::Mode::Streamed : AudioStream::Mode::Whole;
}

} // namespace

AudioDevice::AudioDevice() = default;

AudioDevice::~AudioDevice()
{
    // The sources belong to the output's context, so they go first.
    if (m_output)
        m_output->MakeCurrent();
    m_streams.clear();
    m_output.reset();
}

std::unique_ptr<AudioDevice> AudioDevice::Open()
{
    std::unique_ptr<AudioDevice> device(new AudioDevice());
    const PlatformOptions& options = GetPlatformOptions();
    if (!options.headless && options.audioOutFile.empty()) {
        device->m_output = AudioOutput::OpenSpeakers();
        if (device->m_output) {
            device->m_outputKind = Output::Speakers;
            return device;
        }
        device->m_notices.push_back("no sound device found; the game runs without sound");
    }
    device->m_output = AudioOutput::OpenRendered();
    if (!device->m_output) {
        device->m_notices.push_back("OpenAL cannot render sound; the game runs without sound");
        return device;
    }
    device->m_outputKind = Output::Rendered;
    device->m_outFileName = options.audioOutFile;
    if (!device->m_outFileName.empty() && !device->m_output->WriteToFile(device->m_outFileName))
        device->m_notices.push_back("cannot create the sound file \"" + device->m_outFileName +
                                    "\"; the sound is rendered without it");
    return device;
}

std::vector<std::string> AudioDevice::TakeNotices()
{
    std::vector<std::string> notices;
    notices.swap(m_notices);
    return notices;
}

HSTREAM AudioDevice::OpenSound(const std::string& fileName, Decoding decoding)
{
    if (!m_output)
        return 0;
    m_output->MakeCurrent();
    return Adopt(AudioStream::Create(SampleSource::OpenFile(fileName), ModeOf(decoding)));
}

HSTREAM AudioDevice::OpenSound(const void* data, std::size_t size, Decoding decoding)
{
    if (!m_output)
        return 0;
    m_output->MakeCurrent();
    return Adopt(AudioStream::Create(SampleSource::OpenMemory(data, size), ModeOf(decoding)));
}

HSTREAM AudioDevice::Adopt(std::unique_ptr<AudioStream> stream)
{
    if (!stream)
        return 0;
    const HSTREAM handle = ++m_lastHandle;
    m_streams.emplace(handle, std::move(stream));
    return handle;
}

AudioStream* AudioDevice::Find(HSTREAM stream) const
{
    const auto found = m_streams.find(stream);
    if (found == m_streams.end())
        return nullptr;
    // Whoever asks for a stream is about to make OpenAL calls on it.
    m_output->MakeCurrent();
    return found->second.get();
}

void AudioDevice::Release(HSTREAM stream)
{
    if (Find(stream) != nullptr)
        m_streams.erase(stream);
}

void AudioDevice::Play(HSTREAM stream)
{
    if (AudioStream* found = Find(stream))
        found->Play();
}

void AudioDevice::Stop(HSTREAM stream)
{
    if (AudioStream* found = Find(stream))
        found->Stop();
}

bool AudioDevice::IsPlaying(HSTREAM stream) const
{
    const AudioStream* found = Find(stream);
    return found != nullptr && found->IsPlaying();
}

void AudioDevice::SetVolume(HSTREAM stream, float volume)
{
    if (AudioStream* found = Find(stream))
        found->SetVolume(volume);
}

float AudioDevice::GetVolume(HSTREAM stream) const
{
    const AudioStream* found = Find(stream);
    return found != nullptr ? found->GetVolume() : 0.0f;
}

float AudioDevice::GetMixerVolume(HSTREAM stream) const
{
    const AudioStream* found = Find(stream);
    return found != nullptr ? found->GetMixerVolume() : 0.0f;
}

bool AudioDevice::IsSeekable(HSTREAM stream) const
{
    const AudioStream* found = Find(stream);
    return found != nullptr && found->IsSeekable();
}

std::int64_t AudioDevice::GetPosition(HSTREAM stream) const
{
    const AudioStream* found = Find(stream);
    return found != nullptr ? found->GetPosition() : 0;
}

void AudioDevice::SetPosition(HSTREAM stream, std::int64_t frame)
{
    if (AudioStream* found = Find(stream))
        found->SetPosition(frame);
}

std::int64_t AudioDevice::GetLength(HSTREAM stream) const
{
    const AudioStream* found = Find(stream);
    return found != nullptr ? found->GetLength() : 0;
}

double AudioDevice::NextUpdateWithin() const
{
    // A quarter of a stream's queue: a frame late by a whole refresh still finds three quarters of it unplayed.
    constexpr double kQueueSeconds =
        static_cast<double>(AudioStream::kQueueLength * AudioStream::kBufferFrames) / kSampleRate;
    for (const auto& [handle, stream] : m_streams) {
        if (stream->IsPlaying())
            return kQueueSeconds / 4.0;
    }
    return FrameActivity::kNever;
}

void AudioDevice::Update(double dt)
{
    if (m_output)
        m_output->MakeCurrent();
    if (m_output && m_output->IsRendered())
        Render(dt);
    else
        RefillAll();
    ReportStopped();
}

void AudioDevice::Render(double dt)
{
    if (!std::isfinite(dt) || dt <= 0.0)
        return;
    m_pendingFrames += std::min(dt, kMaxRenderSeconds) * kSampleRate;
    const double whole = std::floor(m_pendingFrames + kFrameTolerance);
    m_pendingFrames -= whole;
    auto frames = static_cast<std::size_t>(whole);
    while (frames > 0) {
        const std::size_t chunk = std::min(frames, AudioOutput::kChunkFrames);
        // Every queue is topped up before each chunk, and holds more than a chunk, so no stream runs dry while
        // rendering.
        RefillAll();
        if (!m_output->Render(chunk, m_sink))
            m_notices.push_back("writing the sound file \"" + m_outFileName + "\" failed; it ends there");
        frames -= chunk;
    }
}

void AudioDevice::RefillAll()
{
    for (auto& entry : m_streams)
        entry.second->Refill();
}

void AudioDevice::ReportStopped()
{
    if (m_reporting)
        return;
    m_reporting = true;
    for (auto& [handle, stream] : m_streams) {
        stream->CheckStopped();
        if (const auto reason = stream->GetPendingStop())
            m_events.emplace_back(handle, *reason);
    }
    // The callback may release or play any stream, those with events still to come among them: each event is
    // checked against the stream as it is now.
    for (std::size_t i = 0; i < m_events.size(); ++i) {
        const auto [handle, reason] = m_events[i];
        AudioStream* stream = Find(handle);
        if (stream == nullptr || stream->GetPendingStop() != reason)
            continue;
        stream->ClearPendingStop();
        if (m_callback != nullptr)
            m_callback->StreamStopped(handle, reason);
    }
    m_events.clear();
    m_reporting = false;
}

} // namespace Vel
