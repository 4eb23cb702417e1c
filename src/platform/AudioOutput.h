#pragma once

// The OpenAL device and context every stream plays through: either the system's default device, whose own clock
// drives playback, or a loopback device that renders only when asked, 44,100 Hz stereo 16-bit, in step with the
// frame time. OpenAL calls go to the current context, so the device makes its output current before it touches its
// streams; two devices may then live side by side (tests do).

#include "platform/AudioDevice.h"

#include <AL/alc.h>
#include <AL/alext.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Vel {

class WavWriter;

class AudioOutput
{
public:
    // The most frames one Render call makes; streams are refilled between calls, and their queues hold far more.
    static constexpr std::size_t kChunkFrames = 4096;

    // nullptr when there is no default device.
    [[nodiscard]] static std::unique_ptr<AudioOutput> OpenSpeakers();
    // nullptr when OpenAL cannot render into memory.
    [[nodiscard]] static std::unique_ptr<AudioOutput> OpenRendered();
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    [[nodiscard]] bool IsRendered() const { return m_render != nullptr; }
    // Directs OpenAL calls to this output's context.
    void MakeCurrent() const;
    // Rendered output only: every later chunk is also written into this WAV file. False when it cannot be created.
    [[nodiscard]] bool WriteToFile(const std::string& fileName);
    // Rendered output only: mixes frames (at most kChunkFrames) and hands them to the sink (may be null) and the file.
    // False when the file could not take them; the file is then closed and no longer written.
    [[nodiscard]] bool Render(std::size_t frames, AudioSink* sink);

private:
    AudioOutput(ALCdevice* device, ALCcontext* context, LPALCRENDERSAMPLESSOFT render);
    [[nodiscard]] static ALCcontext* MakeCurrentContext(ALCdevice* device, const ALCint* attributes);

    ALCdevice* m_device;
    ALCcontext* m_context;
    LPALCRENDERSAMPLESSOFT m_render; // null for speakers
    std::vector<std::int16_t> m_chunk;
    std::unique_ptr<WavWriter> m_file;
};

} // namespace Vel
