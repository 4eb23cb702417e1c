#pragma once

// Plays the game's three kinds of sound: sound effects (any number at once, each played once), one voice line at a
// time (with a callback when it ends) and one music track at a time (faded between tracks and continued from the
// current playlist whenever a track ends). Keeps the four volumes the player sets (effects, voice, music and the
// master volume, shown on a 0..10 scale) and stores them in "sys1.dfn" in the user folder between runs.
//
// Start-up creates the one instance with the other managers, loads the settings once the scripts are read and hands
// it the default playlist; the scenes manager calls UpdateFades and PauseVoice every frame, the frame callback
// Update; scene commands, speech, sliders and saved games call the rest. Shut-down saves the settings. A sound file is
// looked for on disk, then in the game's archives; one that cannot be opened or decoded is skipped and named once in
// the log.
//
// Every stream slot is a handle of the audio device. The device reports stopped streams from its Update on the main
// thread, so the slots and maps are only ever touched by the frame loop.

#include "core/Callback.h"
#include "core/VelSingleton.h"
#include "platform/AudioDevice.h"
#include "platform/Hge.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace Vel {

class Playlist;
class Serializer;

class SoundManager : public Singleton<SoundManager>, public StopCallback
{
public:
    static constexpr float kDefaultSfxVolume = 0.8f;
    static constexpr float kDefaultVoiceVolume = 1.0f;
    static constexpr float kDefaultMusicVolume = 0.3f;
    static constexpr float kDefaultMasterVolume = 1.0f;
    static constexpr const char16_t* kSettingsFile = u"sys1.dfn";

    // Opens the audio device (see AudioDevice::Open) and takes a reference on the 2D library for the archives and
    // the log.
    SoundManager();
    ~SoundManager() override;

    void PlaySfx(const std::u16string& name);
    // Stops the voice that plays, then plays this one; an empty name only stops. The callback is called when the new
    // voice ends by itself or is stopped other than by a pause.
    void PlayVoice(const std::u16string& name, Callback<void()> finished);
    void PlayMusic(const std::u16string& name, bool fade);
    // The scenes manager pauses the voice while a menu is open and resumes it afterwards.
    void PauseVoice(bool pause);
    // The mute command: pauses the music where it is, or resumes it.
    void MuteMusic(bool mute);

    void SetPlaylist(const std::u16string& name, bool fade);
    void SetDefaultPlaylist(const std::u16string& name);
    void RestorePlaylist(Serializer& serializer);
    // The clear target "playlist": the music fades out and no playlist is current.
    void ClearPlaylist();

    // 0..10; 0 or less mutes the channel.
    void SetSfxVolume(float volume);
    void SetVoiceVolume(float volume);
    void SetMusicVolume(float volume);
    void SetMasterVolume(float volume);
    [[nodiscard]] float GetSfxVolume() const { return Level(Channel::Sfx).volume * 10.0f; }
    [[nodiscard]] float GetVoiceVolume() const { return Level(Channel::Voice).volume * 10.0f; }
    [[nodiscard]] float GetMusicVolume() const { return Level(Channel::Music).volume * 10.0f; }
    [[nodiscard]] float GetMasterVolume() const { return m_masterVolume * 10.0f; }
    // The volume command: adds the step (0..1 scale) to the effects, music and voice volumes without any limit; the
    // music reaches its new level through the fade, the others at their next start.
    void StepChannelVolumes(float step);

    // Every frame, from the scenes manager.
    void UpdateFades(float dt);
    // Every frame, from the frame callback, whatever the scenes do: the device refills, renders and reports.
    void Update(float dt);

    void LoadSettings();
    void SaveSettings() const;

    void StreamStopped(HSTREAM stream, StopReason reason) override;

    // The name saved games record; empty when no playlist is current.
    [[nodiscard]] const std::u16string& GetCurrentPlaylistName() const { return m_currentPlaylistName; }

    // For tests and the benchmark.
    [[nodiscard]] AudioDevice& GetDevice() { return *m_device; }
    [[nodiscard]] HSTREAM GetMusicStream() const { return m_musicStream; }
    [[nodiscard]] HSTREAM GetOldMusicStream() const { return m_oldMusicStream; }
    [[nodiscard]] HSTREAM GetVoiceStream() const { return m_voiceStream; }
    [[nodiscard]] const std::vector<HSTREAM>& GetEffectStreams() const { return m_effectStreams; }
    [[nodiscard]] Playlist* GetCurrentPlaylist() const { return m_currentPlaylist; }

private:
    // Indexes m_channels.
    enum class Channel
    {
        Sfx,
        Voice,
        Music,
    };
    static constexpr std::size_t kChannelCount = 3;
    struct ChannelLevel
    {
        float volume = 0.0f; // 0..1 scale
        bool muted = false;  // set with the volume: exactly when it is 0 or less
    };

    [[nodiscard]] ChannelLevel& Level(Channel channel) { return m_channels[static_cast<std::size_t>(channel)]; }
    [[nodiscard]] const ChannelLevel& Level(Channel channel) const
    {
        return m_channels[static_cast<std::size_t>(channel)];
    }

    [[nodiscard]] float EffectiveVolume(Channel channel) const;
    [[nodiscard]] HSTREAM OpenSound(const std::u16string& name, AudioDevice::Decoding decoding);
    // Makes one file the music, the current track fading out when fade is set; false when the file cannot be opened
    // (the music slot is then empty).
    [[nodiscard]] bool StartMusicTrack(const std::u16string& name, bool fade);
    // The music stream starts fading out as the old stream; a paused one is released instead.
    void FadeOutMusic();
    // After the music ended by itself: the next track of the current playlist, else of the default playlist.
    void ContinuePlaylist();
    void RemoveEffect(HSTREAM stream);
    // Stops and forgets the stream with its paused entry and archive data, and empties the slot.
    void ReleaseStream(HSTREAM& stream);
    // The volume on the 0..1 scale; the channel is muted exactly when it is 0 or less.
    void SetChannelVolume(Channel channel, float volume);
    void ApplyVolume(Channel channel);
    void ReportFailure(const std::u16string& name);
    void LogNotices();

    std::unique_ptr<AudioDevice> m_device;
    HGE* m_hge = nullptr; // one reference from hgeCreate, released by the destructor

    HSTREAM m_voiceStream = 0;
    HSTREAM m_musicStream = 0;
    HSTREAM m_oldMusicStream = 0; // the track fading out
    std::vector<HSTREAM> m_effectStreams;

    std::array<ChannelLevel, kChannelCount> m_channels{{
        {kDefaultSfxVolume, false},
        {kDefaultVoiceVolume, false},
        {kDefaultMusicVolume, false},
    }};
    float m_masterVolume = kDefaultMasterVolume;

    Callback<void()> m_voiceFinished;
    Playlist* m_currentPlaylist = nullptr; // owned by the resource registry
    Playlist* m_defaultPlaylist = nullptr;
    std::u16string m_currentPlaylistName;
    std::u16string m_defaultPlaylistName; // becomes the current name when the default playlist takes over

    std::map<HSTREAM, void*> m_loadedData;           // archive data behind a stream, freed with it
    std::map<HSTREAM, std::int64_t> m_pausedStreams; // position at the pause
    std::set<std::u16string> m_reportedFailures;     // files already named in the log
};

} // namespace Vel
