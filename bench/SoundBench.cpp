// The per-frame sound work of a busy moment, headless: one music track streaming, the previous track fading out
// under it, a voice and 16 sound effects, all Ogg Vorbis or WAV decoded for real. Each iteration is one frame of
// 1/60 s: the scenes manager's fade step and the frame callback's device update (refilling the streams and
// delivering stop events; headless, also mixing the frame's 735 samples that a sound card's own thread would mix).
#include "AudioTools.h"
#include "core/TextCodec.h"
#include "platform/Hge.h"
#include "platform/PlatformOptions.h"
#include "resources/ResourceManager.h"
#include "sound/SoundManager.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

constexpr float kFrame = 1.0f / 60.0f;
constexpr int kEffects = 16;
constexpr int kFramesPerScene = 240; // the fade-out lasts 5 s: a new track starts before the old one is gone

class BusySound
{
public:
    explicit BusySound(const std::filesystem::path& folder)
    {
        using Vel::TestTools::ToneFormat;
        const auto write = [&](const char* name, double seconds, double frequency, ToneFormat format) {
            const std::string path = (folder / name).string();
            if (!Vel::TestTools::WriteTone(path, seconds, frequency, 0.3, 2, format))
                std::abort();
            return Vel::TextCodec::Utf8ToWide(path);
        };
        m_tracks[0] = write("music1.ogg", 30.0, 220.0, ToneFormat::Ogg);
        m_tracks[1] = write("music2.ogg", 30.0, 330.0, ToneFormat::Ogg);
        m_voice = write("voice.ogg", 10.0, 550.0, ToneFormat::Ogg);
        m_effect = write("effect.wav", 10.0, 880.0, ToneFormat::Wav);
    }

    // Two tracks crossing, a voice and the effects, all playing.
    void StartScene()
    {
        m_sound.PlayMusic(m_tracks[m_next++ % 2], true);
        m_sound.PlayVoice(m_voice, {});
        while (m_sound.GetEffectStreams().size() < kEffects)
            m_sound.PlaySfx(m_effect);
    }

    void Frame()
    {
        m_sound.UpdateFades(kFrame);
        m_sound.Update(kFrame);
    }

    [[nodiscard]] bool Busy() const
    {
        return m_sound.GetMusicStream() != 0 && m_sound.GetOldMusicStream() != 0 && m_sound.GetVoiceStream() != 0 &&
               m_sound.GetEffectStreams().size() == kEffects;
    }

private:
    Vel::ResourceManager m_resources;
    Vel::SoundManager m_sound;
    std::u16string m_tracks[2];
    std::u16string m_voice;
    std::u16string m_effect;
    int m_next = 0;
};

void BM_SoundFrame(benchmark::State& state)
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vel_sound_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    Vel::PlatformOptions options;
    options.headless = true;
    Vel::SetPlatformOptions(options);
    Vel::HGE* hge = Vel::hgeCreate(Vel::HGE_VERSION);
    {
        BusySound sound(folder);
        sound.StartScene();
        sound.StartScene(); // the first track is now the one fading out
        int frame = 0;
        for (auto _ : state) {
            if (++frame % kFramesPerScene == 0) {
                state.PauseTiming();
                sound.StartScene();
                state.ResumeTiming();
            }
            sound.Frame();
        }
        if (!sound.Busy())
            state.SkipWithError("a stream ended during the measurement");
    }
    hge->Release();
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_SoundFrame)->Unit(benchmark::kMicrosecond)->Iterations(3000);

} // namespace

BENCHMARK_MAIN();
