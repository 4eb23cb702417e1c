#include "AudioStream.h"

#include "SampleSource.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace Vel {

namespace {

constexpr std::size_t kFrameBytes = SampleSource::kChannels * sizeof(std::int16_t);

} // namespace

std::unique_ptr<AudioStream> AudioStream::Create(std::unique_ptr<SampleSource> source, Mode mode)
{
    if (!source)
        return nullptr;
    std::unique_ptr<AudioStream> stream(new AudioStream(std::move(source), mode));
    if (!stream->CreateSource())
        return nullptr;
    const bool loaded = mode == Mode::Whole ? stream->LoadWhole() : stream->StartQueue();
    if (!loaded)
        return nullptr;
    return stream;
}

AudioStream::AudioStream(std::unique_ptr<SampleSource> source, Mode mode)
    : m_source(std::move(source)), m_mode(mode), m_length(m_source->GetLength()),
      m_sampleRate(m_source->GetSampleRate()), m_seekable(m_source->IsSeekable())
{
}

AudioStream::~AudioStream()
{
    if (m_alSource != 0) {
        alSourceStop(m_alSource);
        alSourcei(m_alSource, AL_BUFFER, 0);
        alDeleteSources(1, &m_alSource);
    }
    if (m_buffers[0] != 0)
        alDeleteBuffers(m_mode == Mode::Whole ? 1 : static_cast<ALsizei>(kQueueLength), m_buffers.data());
}

bool AudioStream::CreateSource()
{
    alGetError();
    alGenSources(1, &m_alSource);
    if (alGetError() != AL_NO_ERROR) {
        m_alSource = 0;
        return false;
    }
    // Sounds are not placed in space: a stereo sound of amplitude a comes out at a times the gain.
    alSourcei(m_alSource, AL_SOURCE_RELATIVE, AL_TRUE);
    alSource3f(m_alSource, AL_POSITION, 0.0f, 0.0f, 0.0f);
    alSourcef(m_alSource, AL_ROLLOFF_FACTOR, 0.0f);
    alSourcei(m_alSource, AL_LOOPING, AL_FALSE);
    alGenBuffers(m_mode == Mode::Whole ? 1 : static_cast<ALsizei>(kQueueLength), m_buffers.data());
    if (alGetError() != AL_NO_ERROR) {
        m_buffers.fill(0);
        return false;
    }
    return true;
}

bool AudioStream::LoadWhole()
{
    std::vector<std::int16_t> samples;
    std::size_t frames = 0;
    for (;;) {
        samples.resize((frames + kBufferFrames) * SampleSource::kChannels);
        const std::size_t got = m_source->Read(samples.data() + frames * SampleSource::kChannels, kBufferFrames);
        frames += got;
        if (got < kBufferFrames)
            break;
    }
    m_source.reset();
    if (frames == 0 || frames * kFrameBytes > static_cast<std::size_t>(INT_MAX))
        return false;
    alBufferData(m_buffers[0], AL_FORMAT_STEREO16, samples.data(), static_cast<ALsizei>(frames * kFrameBytes),
                 m_sampleRate);
    alSourcei(m_alSource, AL_BUFFER, static_cast<ALint>(m_buffers[0]));
    m_length = static_cast<std::int64_t>(frames);
    return alGetError() == AL_NO_ERROR;
}

bool AudioStream::StartQueue()
{
    m_decoded.resize(kBufferFrames * SampleSource::kChannels);
    for (std::size_t slot = 0; slot < kQueueLength; ++slot)
        m_freeSlots[slot] = kQueueLength - 1 - slot;
    m_freeCount = kQueueLength;
    QueueFreeBuffers();
    return m_freeCount < kQueueLength && alGetError() == AL_NO_ERROR;
}

void AudioStream::QueueFreeBuffers()
{
    while (m_freeCount > 0 && !m_exhausted) {
        const std::size_t slot = m_freeSlots[m_freeCount - 1];
        const std::size_t got = m_source->Read(m_decoded.data(), kBufferFrames);
        if (got < kBufferFrames)
            m_exhausted = true;
        if (got == 0)
            break;
        alBufferData(m_buffers[slot], AL_FORMAT_STEREO16, m_decoded.data(), static_cast<ALsizei>(got * kFrameBytes),
                     m_sampleRate);
        alSourceQueueBuffers(m_alSource, 1, &m_buffers[slot]);
        m_bufferFrames[slot] = got;
        m_queuedFrames += static_cast<std::int64_t>(got);
        --m_freeCount;
    }
}

void AudioStream::UnqueueProcessed()
{
    ALint processed = 0;
    alGetSourcei(m_alSource, AL_BUFFERS_PROCESSED, &processed);
    for (; processed > 0; --processed) {
        ALuint buffer = 0;
        alSourceUnqueueBuffers(m_alSource, 1, &buffer);
        const auto slot =
            static_cast<std::size_t>(std::find(m_buffers.begin(), m_buffers.end(), buffer) - m_buffers.begin());
        if (slot == kQueueLength)
            break;
        m_playedFrames += static_cast<std::int64_t>(m_bufferFrames[slot]);
        m_queuedFrames -= static_cast<std::int64_t>(m_bufferFrames[slot]);
        m_freeSlots[m_freeCount++] = slot;
    }
}

void AudioStream::DropQueue()
{
    alSourceStop(m_alSource);
    alSourceRewind(m_alSource);
    alSourcei(m_alSource, AL_BUFFER, 0);
    for (std::size_t slot = 0; slot < kQueueLength; ++slot)
        m_freeSlots[slot] = kQueueLength - 1 - slot;
    m_freeCount = kQueueLength;
    m_queuedFrames = 0;
}

void AudioStream::Refill()
{
    // A stopped source counts every queued buffer as processed, even one queued after it stopped, so it is left to
    // CheckStopped, which queues and restarts in one go.
    if (m_mode != Mode::Streamed || !m_playing || GetState() == AL_STOPPED)
        return;
    UnqueueProcessed();
    QueueFreeBuffers();
}

ALint AudioStream::GetState() const
{
    ALint state = AL_INITIAL;
    alGetSourcei(m_alSource, AL_SOURCE_STATE, &state);
    return state;
}

bool AudioStream::HasRunOut() const
{
    if (m_mode == Mode::Whole)
        return true;
    ALint queued = 0;
    ALint processed = 0;
    alGetSourcei(m_alSource, AL_BUFFERS_QUEUED, &queued);
    alGetSourcei(m_alSource, AL_BUFFERS_PROCESSED, &processed);
    return m_exhausted && queued == processed;
}

void AudioStream::Play()
{
    const ALint state = GetState();
    if (state == AL_STOPPED) {
        if (HasRunOut()) {
            Restart();
        } else {
            UnqueueProcessed();
            QueueFreeBuffers();
        }
    }
    if (state != AL_PLAYING)
        Resume();
    m_playing = true;
    m_pendingStop.reset();
}

void AudioStream::Resume()
{
    // An empty queue would leave the source waiting in its initial state; stopping it lets CheckStopped see the end.
    if (m_mode == Mode::Streamed && m_freeCount == kQueueLength)
        alSourceStop(m_alSource);
    else
        alSourcePlay(m_alSource);
}

void AudioStream::Restart()
{
    if (m_mode == Mode::Whole) {
        alSourceRewind(m_alSource);
        m_initialOffset = 0;
        return;
    }
    DropQueue();
    m_exhausted = !m_source->Seek(0);
    m_playedFrames = m_exhausted ? m_length : 0;
    QueueFreeBuffers();
}

void AudioStream::Stop()
{
    if (!m_playing)
        return;
    alSourcePause(m_alSource);
    m_playing = false;
    m_pendingStop = StopReason::StopCalled;
}

void AudioStream::CheckStopped()
{
    if (!m_playing || GetState() != AL_STOPPED)
        return;
    if (m_mode == Mode::Streamed) {
        UnqueueProcessed();
        if (!m_exhausted || m_freeCount < kQueueLength) {
            // Ran dry before its end (a long frame on a real device): go on with fresh data.
            QueueFreeBuffers();
            Resume();
            return;
        }
    }
    m_playing = false;
    m_pendingStop = StopReason::StreamEnded;
}

void AudioStream::SetVolume(float volume)
{
    m_volume = volume;
    const float gain = std::isnan(volume) ? 0.0f : std::clamp(volume, 0.0f, 1.0f);
    alSourcef(m_alSource, AL_GAIN, gain);
}

float AudioStream::GetMixerVolume() const
{
    ALfloat gain = 0.0f;
    alGetSourcef(m_alSource, AL_GAIN, &gain);
    return gain;
}

std::int64_t AudioStream::GetPosition() const
{
    const ALint state = GetState();
    if (m_mode == Mode::Whole && state == AL_STOPPED)
        return m_length;
    if (m_mode == Mode::Whole && state == AL_INITIAL)
        return m_initialOffset;
    // A stopped queue has played all it held, though the buffers may not be unqueued yet.
    if (state == AL_STOPPED)
        return m_playedFrames + m_queuedFrames;
    ALint offset = 0;
    if (state != AL_INITIAL)
        alGetSourcei(m_alSource, AL_SAMPLE_OFFSET, &offset);
    return (m_mode == Mode::Whole ? 0 : m_playedFrames) + offset;
}

void AudioStream::SetPosition(std::int64_t frame)
{
    frame = std::clamp<std::int64_t>(frame, 0, m_length);
    if (m_mode == Mode::Whole)
        SetWholePosition(frame);
    else
        SetStreamedPosition(frame);
}

void AudioStream::SetWholePosition(std::int64_t frame)
{
    if (frame >= m_length) {
        alSourceStop(m_alSource);
        return;
    }
    const ALint state = GetState();
    if (state == AL_STOPPED)
        alSourceRewind(m_alSource);
    if (state == AL_STOPPED || state == AL_INITIAL)
        m_initialOffset = frame;
    alSourcei(m_alSource, AL_SAMPLE_OFFSET, static_cast<ALint>(frame));
    if (m_playing && state == AL_STOPPED)
        alSourcePlay(m_alSource);
}

void AudioStream::SetStreamedPosition(std::int64_t frame)
{
    if (!m_seekable)
        return;
    DropQueue();
    m_exhausted = !m_source->Seek(frame);
    m_playedFrames = m_exhausted ? m_length : frame;
    QueueFreeBuffers();
    if (m_playing)
        Resume();
}

} // namespace Vel
