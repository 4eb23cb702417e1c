#pragma once

// The engine's sound library: one audio device that plays output streams made from sound files. A stream is
// either streamed (decoded a little at a time while it plays: music and voices) or decoded whole when it is opened
// (short effects). Streams are integer handles, 0 for none; a handle is never reused within a run, so a handle kept
// after Release simply names nothing and every operation on it does nothing.
//
// Nothing here runs on a thread of its own as far as the engine can tell: Update, called once per frame on the main
// thread, refills the streamed sounds and then reports every stream that stopped since the previous Update to the
// registered StopCallback. A headless run, a run asked to write its sound into a file, and a run on a machine
// without a sound device all render the sound themselves in step with the frame time: each Update renders exactly
// dt seconds of 44,100 Hz stereo, so streams advance, fade and end with the game's clock.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Vel {

using HSTREAM = std::uint32_t;

enum class StopReason
{
    StopCalled,  // Stop (a pause keeps the stream; Play resumes it)
    StreamEnded, // the sound ran out of data
};

// Told of every stream that went from playing to stopped, from inside Update. A stream that was played again, or
// released, before that Update is not reported.
class StopCallback
{
public:
    virtual ~StopCallback() = default;
    virtual void StreamStopped(HSTREAM stream, StopReason reason) = 0;
};

// Receives the samples a rendering device makes: interleaved stereo, signed 16-bit, kSampleRate frames a second.
class AudioSink
{
public:
    virtual ~AudioSink() = default;
    virtual void Write(const std::int16_t* samples, std::size_t frames) = 0;
};

class AudioStream;
class AudioOutput;

class AudioDevice
{
public:
    static constexpr int kSampleRate = 44100;

    enum class Output
    {
        Speakers, // the system's default device; the sound card's own clock drives playback
        Rendered, // rendered by Update in step with the frame time, into the file sink if one was asked for
        None,     // not even rendering was possible: every open fails
    };

    // Reads the platform options: a headless run, or one with an audio file to write, renders; otherwise the default
    // device is opened, and when there is none the device renders into nothing. Never null.
    [[nodiscard]] static std::unique_ptr<AudioDevice> Open();
    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    [[nodiscard]] Output GetOutput() const { return m_outputKind; }
    // Sentences for the log about how the device was opened ("no sound device ..."), handed out once.
    [[nodiscard]] std::vector<std::string> TakeNotices();

    enum class Decoding
    {
        Whole,    // into one buffer when the sound is opened: short effects
        Streamed, // a buffer at a time while it plays: music and voices
    };

    // A sound read from a file (UTF-8 name) or from a block of memory the caller keeps alive until the stream is
    // released. 0 when the data cannot be opened or decoded, or holds no sound at all.
    [[nodiscard]] HSTREAM OpenSound(const std::string& fileName, Decoding decoding);
    [[nodiscard]] HSTREAM OpenSound(const void* data, std::size_t size, Decoding decoding);
    // Stops the stream without a report and forgets it.
    void Release(HSTREAM stream);

    // Starts the stream, or resumes a stopped one where it stopped; a stream that ended starts from the beginning.
    void Play(HSTREAM stream);
    // Stops the stream but keeps its position and queued data, so Play goes on without a seek.
    void Stop(HSTREAM stream);
    [[nodiscard]] bool IsPlaying(HSTREAM stream) const;
    // Any value is kept and reported back; the mixer hears it clamped to 0..1.
    void SetVolume(HSTREAM stream, float volume);
    [[nodiscard]] float GetVolume(HSTREAM stream) const;
    // The gain the mixer was given.
    [[nodiscard]] float GetMixerVolume(HSTREAM stream) const;
    [[nodiscard]] bool IsSeekable(HSTREAM stream) const;
    // Sample frames from the beginning of the sound.
    [[nodiscard]] std::int64_t GetPosition(HSTREAM stream) const;
    void SetPosition(HSTREAM stream, std::int64_t frame);
    // Sample frames of the whole sound; 0 when unknown.
    [[nodiscard]] std::int64_t GetLength(HSTREAM stream) const;

    // nullptr unregisters. The callback must outlive the device or unregister.
    void RegisterCallback(StopCallback* callback) { m_callback = callback; }
    // Where a rendering device also writes its samples (tests measure them); nullptr for none. Borrowed.
    void SetSink(AudioSink* sink) { m_sink = sink; }

    // Once per frame with the frame time in seconds: refills, renders when the device renders itself, then reports
    // the streams that stopped.
    void Update(double dt);

    [[nodiscard]] std::size_t GetStreamCount() const { return m_streams.size(); }
    // How soon Update must run again so that no playing stream runs dry and a stream's end is reported while its
    // picture still speaks; FrameActivity::kNever while nothing plays.
    [[nodiscard]] double NextUpdateWithin() const;

private:
    AudioDevice();

    HSTREAM Adopt(std::unique_ptr<AudioStream> stream);
    [[nodiscard]] AudioStream* Find(HSTREAM stream) const;
    void Render(double dt);
    void RefillAll();
    void ReportStopped();

    Output m_outputKind = Output::None;
    std::unique_ptr<AudioOutput> m_output;
    std::map<HSTREAM, std::unique_ptr<AudioStream>> m_streams;
    HSTREAM m_lastHandle = 0;
    StopCallback* m_callback = nullptr;
    AudioSink* m_sink = nullptr;
    double m_pendingFrames = 0.0; // the fraction of a frame that dt did not cover, carried to the next Update
    std::vector<std::string> m_notices;
    std::string m_outFileName;
    std::vector<std::pair<HSTREAM, StopReason>> m_events; // collected by ReportStopped; kept to reuse its storage
    bool m_reporting = false;                             // a callback that calls Update does not report again
};

} // namespace Vel
