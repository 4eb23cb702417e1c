#pragma once

// One playing sound: an OpenAL source fed from a SampleSource. A sound opened whole is decoded into a single
// buffer at once; a streamed one keeps a short queue of buffers that Refill tops up from the decoder while it plays.
// Stop pauses the source so the queue and the decoder stay where they are: resuming never seeks, which matters for
// Ogg Vorbis, whose seeks are not sample-exact. Requires the owning device's OpenAL context to be current.

#include "platform/AudioDevice.h"

#include <AL/al.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace Vel {

class SampleSource;

class AudioStream
{
public:
    enum class Mode
    {
        Whole,    // decoded into one buffer when opened
        Streamed, // decoded a buffer at a time while it plays
    };

    static constexpr std::size_t kQueueLength = 6;
    static constexpr std::size_t kBufferFrames = 4096;

    // nullptr when the sound holds no frames or OpenAL has no source or buffer left.
    [[nodiscard]] static std::unique_ptr<AudioStream> Create(std::unique_ptr<SampleSource> source, Mode mode);
    ~AudioStream();
    AudioStream(const AudioStream&) = delete;
    AudioStream& operator=(const AudioStream&) = delete;

    void Play();
    void Stop();
    [[nodiscard]] bool IsPlaying() const { return m_playing; }
    void SetVolume(float volume);
    [[nodiscard]] float GetVolume() const { return m_volume; }
    [[nodiscard]] float GetMixerVolume() const;
    [[nodiscard]] bool IsSeekable() const { return m_seekable; }
    [[nodiscard]] std::int64_t GetPosition() const;
    void SetPosition(std::int64_t frame);
    [[nodiscard]] std::int64_t GetLength() const { return m_length; }

    // Replaces the buffers the source has finished with by fresh data. Cheap for a stream that is not playing.
    void Refill();
    // Notices a source that stopped by itself: a streamed sound that merely ran dry is refilled and goes on, one that
    // is really over becomes a pending StreamEnded.
    void CheckStopped();

    // The stop not yet reported, if any; Play clears it.
    [[nodiscard]] std::optional<StopReason> GetPendingStop() const { return m_pendingStop; }
    void ClearPendingStop() { m_pendingStop.reset(); }

private:
    AudioStream(std::unique_ptr<SampleSource> source, Mode mode);
    [[nodiscard]] bool CreateSource();
    [[nodiscard]] bool LoadWhole();
    [[nodiscard]] bool StartQueue();
    [[nodiscard]] ALint GetState() const;
    [[nodiscard]] bool HasRunOut() const;
    void Restart();
    void Resume();
    void UnqueueProcessed();
    void QueueFreeBuffers();
    void DropQueue();
    void SetWholePosition(std::int64_t frame);
    void SetStreamedPosition(std::int64_t frame);

    std::unique_ptr<SampleSource> m_source; // streamed sounds only; a whole sound lets it go once decoded
    Mode m_mode;
    ALuint m_alSource = 0;
    std::array<ALuint, kQueueLength> m_buffers{};
    std::array<std::size_t, kQueueLength> m_bufferFrames{}; // frames in each buffer, by slot
    std::array<std::size_t, kQueueLength> m_freeSlots{};    // slots not queued, as a stack
    std::size_t m_freeCount = 0;
    std::vector<std::int16_t> m_decoded; // one buffer's samples, reused for every refill
    std::int64_t m_playedFrames = 0;     // streamed: frames before the head of the queue
    std::int64_t m_initialOffset = 0;    // whole: where a source that has not started will start
    std::int64_t m_length = 0;
    std::int64_t m_queuedFrames = 0; // streamed: frames in the buffers now queued
    int m_sampleRate = 0;
    bool m_exhausted = false; // streamed: the decoder has handed out its last frame
    bool m_seekable = false;
    bool m_playing = false;
    float m_volume = 1.0f;
    std::optional<StopReason> m_pendingStop;
};

} // namespace Vel
