#include "sound/SoundManager.h"

#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "data/BinarySerializer.h"
#include "data/Translations.h"
#include "platform/FrameActivity.h"
#include "resources/Playlist.h"
#include "resources/ResourceManager.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <utility>

namespace Vel {

namespace {

// Volumes are shown on a 0..10 scale and stored on 0..1.
constexpr float kShownToStored = 0.1f;
// Ten times full volume: more than a slider or a volume command of up to 100 sets. A stored value beyond it is damage.
constexpr float kLargestStoredVolume = 10.0f;
// A fade covers the whole music volume in five seconds.
constexpr float kFadePerSecond = 0.2f;
// A channel at 0 or below that is not muted still plays at this share of the master volume.
constexpr float kFloorVolume = 0.1f;

std::u16string SettingsFileName()
{
    return UserFiles::GetUserFolder() + SoundManager::kSettingsFile;
}

} // namespace

SoundManager::SoundManager() : m_device(AudioDevice::Open()), m_hge(hgeCreate(HGE_VERSION))
{
    assert(m_hge != nullptr);
    m_device->RegisterCallback(this);
    LogNotices();
}

SoundManager::~SoundManager()
{
    m_device->RegisterCallback(nullptr);
    ReleaseStream(m_voiceStream);
    ReleaseStream(m_musicStream);
    ReleaseStream(m_oldMusicStream);
    for (HSTREAM& effect : m_effectStreams)
        ReleaseStream(effect);
    m_effectStreams.clear();
    // The device goes before the interface whose archive blocks its streams read from.
    m_device.reset();
    m_hge->Release();
}

void SoundManager::PlaySfx(const std::u16string& name)
{
    const HSTREAM stream = OpenSound(name, AudioDevice::Decoding::Whole);
    if (stream == 0)
        return;
    m_effectStreams.push_back(stream);
    m_device->SetVolume(stream, EffectiveVolume(Channel::Sfx));
    m_device->Play(stream);
}

void SoundManager::PlayVoice(const std::u16string& name, Callback<void()> finished)
{
    // A voice cut short by the next one is not finished: its callback is dropped with it.
    ReleaseStream(m_voiceStream);
    m_voiceFinished = std::move(finished);
    m_voiceStream = OpenSound(name, AudioDevice::Decoding::Streamed);
    if (m_voiceStream == 0)
        return;
    m_device->SetVolume(m_voiceStream, EffectiveVolume(Channel::Voice));
    m_device->Play(m_voiceStream);
}

void SoundManager::PlayMusic(const std::u16string& name, bool fade)
{
    if (StartMusicTrack(name, fade))
        return;
    // Each track of the fallback list is tried at most once, so a list of missing files ends in silence, not a loop.
    Playlist* fallback = m_currentPlaylist != nullptr ? m_currentPlaylist : m_defaultPlaylist;
    if (fallback == nullptr)
        return;
    const std::size_t tracks = fallback->GetTracks().size();
    for (std::size_t attempt = 0; attempt < tracks; ++attempt) {
        if (StartMusicTrack(fallback->NextTrack(), fade))
            return;
    }
}

bool SoundManager::StartMusicTrack(const std::u16string& name, bool fade)
{
    if (fade)
        FadeOutMusic();
    ReleaseStream(m_musicStream);
    m_musicStream = OpenSound(name, AudioDevice::Decoding::Streamed);
    if (m_musicStream == 0)
        return false;
    m_device->SetVolume(m_musicStream, fade || Level(Channel::Music).muted ? 0.0f : EffectiveVolume(Channel::Music));
    m_device->Play(m_musicStream);
    return true;
}

void SoundManager::FadeOutMusic()
{
    if (m_musicStream == 0)
        return;
    // A track paused by the mute command would otherwise fade out silently and never end.
    if (m_pausedStreams.contains(m_musicStream)) {
        ReleaseStream(m_musicStream);
        return;
    }
    ReleaseStream(m_oldMusicStream);
    m_oldMusicStream = std::exchange(m_musicStream, 0);
}

void SoundManager::PauseVoice(bool pause)
{
    if (m_voiceStream == 0)
        return;
    const bool paused = m_pausedStreams.contains(m_voiceStream);
    if (pause && !paused && m_device->IsSeekable(m_voiceStream)) {
        m_pausedStreams[m_voiceStream] = m_device->GetPosition(m_voiceStream);
        m_device->Stop(m_voiceStream);
    } else if (!pause && paused) {
        m_pausedStreams.erase(m_voiceStream);
        m_device->Play(m_voiceStream);
    }
}

void SoundManager::MuteMusic(bool mute)
{
    if (m_musicStream == 0)
        return;
    const bool paused = m_pausedStreams.contains(m_musicStream);
    if (mute && !paused) {
        m_pausedStreams[m_musicStream] = m_device->GetPosition(m_musicStream);
        m_device->Stop(m_musicStream);
    } else if (!mute && paused) {
        m_pausedStreams.erase(m_musicStream);
        m_device->Play(m_musicStream);
    }
}

void SoundManager::SetPlaylist(const std::u16string& name, bool fade)
{
    // An empty name (a game saved while no playlist was current) leaves none current and starts nothing; making an
    // empty playlist current would only give empty track names.
    if (name.empty()) {
        m_currentPlaylist = nullptr;
        m_currentPlaylistName.clear();
        return;
    }
    m_currentPlaylist = ResourceManager::GetSingleton().GetPlaylist(name);
    m_currentPlaylistName = name;
    PlayMusic(m_currentPlaylist->NextTrack(), fade);
}

void SoundManager::SetDefaultPlaylist(const std::u16string& name)
{
    m_defaultPlaylistName = name;
    m_defaultPlaylist = name.empty() ? nullptr : ResourceManager::GetSingleton().GetPlaylist(name);
}

void SoundManager::RestorePlaylist(Serializer& serializer)
{
    std::u16string name;
    serializer.ReadString(name);
    SetPlaylist(name, true);
}

void SoundManager::ClearPlaylist()
{
    m_currentPlaylist = nullptr;
    m_currentPlaylistName.clear();
    FadeOutMusic();
}

void SoundManager::SetSfxVolume(float volume)
{
    SetChannelVolume(Channel::Sfx, volume * kShownToStored);
}

void SoundManager::SetVoiceVolume(float volume)
{
    SetChannelVolume(Channel::Voice, volume * kShownToStored);
}

void SoundManager::SetMusicVolume(float volume)
{
    SetChannelVolume(Channel::Music, volume * kShownToStored);
}

void SoundManager::SetMasterVolume(float volume)
{
    m_masterVolume = volume * kShownToStored;
    // The stored channel values are set again as they are, not through the 0..10 scale and back, so they keep
    // their exact value.
    for (Channel channel : {Channel::Sfx, Channel::Voice, Channel::Music})
        SetChannelVolume(channel, Level(channel).volume);
}

void SoundManager::StepChannelVolumes(float step)
{
    for (ChannelLevel& level : m_channels)
        level.volume += step;
}

void SoundManager::SetChannelVolume(Channel channel, float volume)
{
    ChannelLevel& level = Level(channel);
    level.volume = volume;
    level.muted = volume <= 0.0f;
    // A muted channel is silent at once: the track that was still fading out goes too.
    if (channel == Channel::Music && level.muted)
        ReleaseStream(m_oldMusicStream);
    ApplyVolume(channel);
}

void SoundManager::ApplyVolume(Channel channel)
{
    const float volume = EffectiveVolume(channel);
    switch (channel) {
    case Channel::Sfx:
        for (HSTREAM effect : m_effectStreams)
            m_device->SetVolume(effect, volume);
        break;
    case Channel::Voice:
        m_device->SetVolume(m_voiceStream, volume);
        break;
    case Channel::Music:
        m_device->SetVolume(m_musicStream, volume);
        break;
    }
}

float SoundManager::EffectiveVolume(Channel channel) const
{
    const ChannelLevel& level = Level(channel);
    if (level.muted)
        return 0.0f;
    return m_masterVolume * (level.volume > 0.0f ? level.volume : kFloorVolume);
}

void SoundManager::UpdateFades(float dt)
{
    // With a music volume of 0 or below the fades still run, at the pace of the smallest volume step.
    const ChannelLevel& music = Level(Channel::Music);
    const float step = (music.volume > 0.0f ? music.volume : kFloorVolume) * kFadePerSecond * dt;
    if (!music.muted && m_musicStream != 0) {
        const float target = EffectiveVolume(Channel::Music);
        const float volume = m_device->GetVolume(m_musicStream);
        if (volume != target) {
            m_device->SetVolume(m_musicStream, std::min(volume + step, target));
            FrameActivity::WakeWithin(0.0);
        }
    }
    // An old stream is faded whatever its volume, so one that left at 0 (replaced before it faded in) still ends.
    if (m_oldMusicStream != 0) {
        const float volume = m_device->GetVolume(m_oldMusicStream) - step;
        if (volume <= 0.0f)
            m_device->Stop(m_oldMusicStream); // its stop report releases it
        else
            m_device->SetVolume(m_oldMusicStream, volume);
        FrameActivity::WakeWithin(0.0);
    }
}

void SoundManager::Update(float dt)
{
    m_device->Update(dt);
    FrameActivity::WakeWithin(m_device->NextUpdateWithin());
    // A sound file that stopped taking the rendered samples says so here, once.
    LogNotices();
}

void SoundManager::StreamStopped(HSTREAM stream, StopReason reason)
{
    if (reason == StopReason::StopCalled && m_pausedStreams.contains(stream))
        return;
    if (stream == m_voiceStream) {
        // The slot is emptied before the callback runs, since the callback may start the next voice.
        ReleaseStream(m_voiceStream);
        const Callback<void()> finished = std::exchange(m_voiceFinished, Callback<void()>());
        finished();
    } else if (stream == m_oldMusicStream) {
        ReleaseStream(m_oldMusicStream);
    } else if (stream == m_musicStream) {
        ReleaseStream(m_musicStream);
        ContinuePlaylist();
    } else {
        RemoveEffect(stream);
    }
}

void SoundManager::ContinuePlaylist()
{
    if (m_currentPlaylist == nullptr && m_defaultPlaylist != nullptr) {
        m_currentPlaylist = m_defaultPlaylist;
        // Saved games then name the playlist that really plays.
        m_currentPlaylistName = m_defaultPlaylistName;
    }
    if (m_currentPlaylist != nullptr)
        PlayMusic(m_currentPlaylist->NextTrack(), true);
}

void SoundManager::RemoveEffect(HSTREAM stream)
{
    const auto effect = std::find(m_effectStreams.begin(), m_effectStreams.end(), stream);
    if (effect != m_effectStreams.end()) {
        *effect = m_effectStreams.back();
        m_effectStreams.pop_back();
    }
    // Also a stream in no slot at all gives its data back.
    ReleaseStream(stream);
}

void SoundManager::ReleaseStream(HSTREAM& stream)
{
    if (stream == 0)
        return;
    m_pausedStreams.erase(stream);
    // The stream goes before the archive block it reads from.
    m_device->Release(stream);
    if (const auto loaded = m_loadedData.find(stream); loaded != m_loadedData.end()) {
        m_hge->Resource_Free(loaded->second);
        m_loadedData.erase(loaded);
    }
    stream = 0;
}

HSTREAM SoundManager::OpenSound(const std::u16string& name, AudioDevice::Decoding decoding)
{
    if (name.empty())
        return 0;
    const std::string fileName = Translations::Get().FileName(TextCodec::WideToUtf8(name));
    if (const HSTREAM stream = m_device->OpenSound(fileName, decoding); stream != 0)
        return stream;
    std::uint32_t size = 0;
    void* data = m_hge->Resource_Load(fileName.c_str(), &size);
    if (data != nullptr) {
        if (const HSTREAM stream = m_device->OpenSound(data, size, decoding); stream != 0) {
            m_loadedData.emplace(stream, data);
            return stream;
        }
        m_hge->Resource_Free(data);
    }
    ReportFailure(name);
    return 0;
}

void SoundManager::ReportFailure(const std::u16string& name)
{
    if (m_reportedFailures.insert(name).second)
        m_hge->System_Log("Sound '%s' cannot be opened or decoded; it is skipped", TextCodec::WideToUtf8(name).c_str());
}

void SoundManager::LogNotices()
{
    for (const std::string& notice : m_device->TakeNotices())
        m_hge->System_Log("%s", notice.c_str());
}

void SoundManager::LoadSettings()
{
    BinarySerializer file(SettingsFileName(), BinarySerializer::Direction::Read);
    if (!file.IsOpen())
        return;
    // A short or damaged file keeps the defaults from the first value it cannot give; a value read whole but not
    // a number (NaN, infinity) or far outside what sliders and volume commands set (0 to 10) is skipped on its own,
    // so garbage never plays at a deafening level.
    // The file's order: music, voice, effects, master.
    for (float* target :
         {&Level(Channel::Music).volume, &Level(Channel::Voice).volume, &Level(Channel::Sfx).volume, &m_masterVolume}) {
        float value = *target;
        file.ReadFloat(value);
        if (file.Failed())
            break;
        if (std::isfinite(value) && value >= 0.0f && value <= kLargestStoredVolume)
            *target = value;
    }
    for (Channel channel : {Channel::Sfx, Channel::Voice, Channel::Music})
        ApplyVolume(channel);
}

void SoundManager::SaveSettings() const
{
    const std::u16string fileName = SettingsFileName();
    BinarySerializer file(fileName, BinarySerializer::Direction::Write);
    for (float value :
         {Level(Channel::Music).volume, Level(Channel::Voice).volume, Level(Channel::Sfx).volume, m_masterVolume})
        file.WriteFloat(value);
    if (!file.Commit())
        m_hge->System_Log("Sound settings cannot be written to '%s'; the previous file is kept",
                          TextCodec::WideToUtf8(fileName).c_str());
}

} // namespace Vel
