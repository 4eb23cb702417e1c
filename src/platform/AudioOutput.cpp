#include "AudioOutput.h"

#include "WavWriter.h"

#include <dlfcn.h>

namespace Vel {

namespace {

// The engine mixes no effects (reverb, echo): without effect sends every one of OpenAL's voices is smaller, about
// 0.8 MB less in all.
constexpr ALCint kNoEffectSends[] = {ALC_MAX_AUXILIARY_SENDS, 0, 0};

// alsa-lib prints a screenful of configuration errors when the machine has no sound card, on every attempt. OpenAL
// says it in one line and the device reports it as a notice, so alsa-lib's printer is silenced while the default
// device is looked for. OpenAL loads alsa-lib itself; when it has not, there is nothing to silence.
class QuietAlsa
{
public:
    QuietAlsa()
    {
        m_library = dlopen("libasound.so.2", RTLD_LAZY | RTLD_NOLOAD);
        if (m_library != nullptr)
            m_setHandler = reinterpret_cast<SetHandler>(dlsym(m_library, "snd_lib_error_set_handler"));
        if (m_setHandler != nullptr)
            m_setHandler(&Ignore);
    }
    ~QuietAlsa()
    {
        if (m_setHandler != nullptr)
            m_setHandler(nullptr);
        if (m_library != nullptr)
            dlclose(m_library);
    }
    QuietAlsa(const QuietAlsa&) = delete;
    QuietAlsa& operator=(const QuietAlsa&) = delete;

private:
    using Handler = void (*)(const char*, int, const char*, int, const char*, ...);
    using SetHandler = int (*)(Handler);

    static void Ignore(const char*, int, const char*, int, const char*, ...) {}

    void* m_library = nullptr;
    SetHandler m_setHandler = nullptr;
};

template <typename Function> Function AlcFunction(const char* name)
{
    return reinterpret_cast<Function>(alcGetProcAddress(nullptr, name));
}

} // namespace

std::unique_ptr<AudioOutput> AudioOutput::OpenSpeakers()
{
    // The first ALC call loads OpenAL's backends, alsa-lib among them, so that QuietAlsa finds it.
    alcIsExtensionPresent(nullptr, "ALC_ENUMERATION_EXT");
    ALCdevice* device = nullptr;
    {
        QuietAlsa quiet;
        device = alcOpenDevice(nullptr);
    }
    if (device == nullptr)
        return nullptr;
    ALCcontext* context = MakeCurrentContext(device, kNoEffectSends);
    if (context == nullptr) {
        alcCloseDevice(device);
        return nullptr;
    }
    return std::unique_ptr<AudioOutput>(new AudioOutput(device, context, nullptr));
}

std::unique_ptr<AudioOutput> AudioOutput::OpenRendered()
{
    if (alcIsExtensionPresent(nullptr, "ALC_SOFT_loopback") != ALC_TRUE)
        return nullptr;
    auto open = AlcFunction<LPALCLOOPBACKOPENDEVICESOFT>("alcLoopbackOpenDeviceSOFT");
    auto isSupported = AlcFunction<LPALCISRENDERFORMATSUPPORTEDSOFT>("alcIsRenderFormatSupportedSOFT");
    auto render = AlcFunction<LPALCRENDERSAMPLESSOFT>("alcRenderSamplesSOFT");
    if (open == nullptr || isSupported == nullptr || render == nullptr)
        return nullptr;
    ALCdevice* device = open(nullptr);
    if (device == nullptr)
        return nullptr;
    // Plain stereo, the same on every machine: no HRTF, and no output limiter, whose look-ahead would delay
    // everything by a millisecond so a sound's last samples came out an Update after its end was reported; no effect
    // sends, as for the speakers.
    const ALCint attributes[] = {ALC_FORMAT_CHANNELS_SOFT,
                                 ALC_STEREO_SOFT,
                                 ALC_FORMAT_TYPE_SOFT,
                                 ALC_SHORT_SOFT,
                                 ALC_FREQUENCY,
                                 AudioDevice::kSampleRate,
                                 ALC_HRTF_SOFT,
                                 ALC_FALSE,
                                 ALC_OUTPUT_LIMITER_SOFT,
                                 ALC_FALSE,
                                 ALC_MAX_AUXILIARY_SENDS,
                                 0,
                                 0};
    ALCcontext* context = nullptr;
    if (isSupported(device, AudioDevice::kSampleRate, ALC_STEREO_SOFT, ALC_SHORT_SOFT) == ALC_TRUE)
        context = MakeCurrentContext(device, attributes);
    if (context == nullptr) {
        alcCloseDevice(device);
        return nullptr;
    }
    return std::unique_ptr<AudioOutput>(new AudioOutput(device, context, render));
}

ALCcontext* AudioOutput::MakeCurrentContext(ALCdevice* device, const ALCint* attributes)
{
    ALCcontext* context = alcCreateContext(device, attributes);
    if (context != nullptr && alcMakeContextCurrent(context) != ALC_TRUE) {
        alcDestroyContext(context);
        context = nullptr;
    }
    return context;
}

AudioOutput::AudioOutput(ALCdevice* device, ALCcontext* context, LPALCRENDERSAMPLESSOFT render)
    : m_device(device), m_context(context), m_render(render)
{
    if (m_render != nullptr)
        m_chunk.resize(kChunkFrames * 2);
}

AudioOutput::~AudioOutput()
{
    if (alcGetCurrentContext() == m_context)
        alcMakeContextCurrent(nullptr);
    alcDestroyContext(m_context);
    alcCloseDevice(m_device);
}

void AudioOutput::MakeCurrent() const
{
    if (alcGetCurrentContext() != m_context)
        alcMakeContextCurrent(m_context);
}

bool AudioOutput::WriteToFile(const std::string& fileName)
{
    if (m_render == nullptr)
        return false;
    m_file = WavWriter::Create(fileName, AudioDevice::kSampleRate);
    return m_file != nullptr;
}

bool AudioOutput::Render(std::size_t frames, AudioSink* sink)
{
    if (m_render == nullptr || frames == 0 || frames > kChunkFrames)
        return true;
    m_render(m_device, m_chunk.data(), static_cast<ALCsizei>(frames));
    if (sink != nullptr)
        sink->Write(m_chunk.data(), frames);
    if (m_file != nullptr && !m_file->Write(m_chunk.data(), frames)) {
        m_file.reset();
        return false;
    }
    return true;
}

} // namespace Vel
