#include "commands/ClearCommand.h"
#include "commands/MuteCommand.h"
#include "commands/SetMusicCommand.h"
#include "commands/SetPlaylistCommand.h"
#include "commands/SetSfxCommand.h"
#include "commands/SetVolumeCommand.h"

#include "AudioTools.h"
#include "HeadlessHge.h"
#include "TempFolder.h"
#include "core/TextCodec.h"
#include "resources/Playlist.h"
#include "resources/ResourceManager.h"
#include "scene/Scene.h"
#include "sound/SoundManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace Vel {
namespace {

class SoundCommandsTest : public ::testing::Test
{
protected:
    // Runs the command alone; whether it reported within Execute.
    bool Run(Command& command)
    {
        bool reported = false;
        command.SetCompletion(Callback<void()>([&reported] { reported = true; }));
        command.Execute(m_scene);
        return reported;
    }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    SoundManager m_sound;
    Scene m_scene;
};

TEST_F(SoundCommandsTest, VolumeStepsAddToThreeChannelsWithoutLimit)
{
    SetVolumeCommand louder(5);
    EXPECT_TRUE(Run(louder));
    EXPECT_TRUE(Run(louder));
    EXPECT_EQ(std::vector({m_sound.GetMusicVolume(), m_sound.GetSfxVolume(), m_sound.GetVoiceVolume(),
                           m_sound.GetMasterVolume()}),
              std::vector({13.0f, 18.0f, 20.0f, 10.0f}));
    SetVolumeCommand quieter(-30);
    EXPECT_TRUE(Run(quieter));
    EXPECT_EQ(m_sound.GetMusicVolume(), -17.0f);

    const std::string track = m_folder.File("track.wav");
    ASSERT_TRUE(TestTools::WriteTone(track, 1.0));
    const std::u16string name = TextCodec::Utf8ToWide(track);

    // Muting without music does nothing and still reports.
    MuteCommand mute(true), unmute(false);
    EXPECT_TRUE(Run(mute));
    EXPECT_EQ(m_sound.GetMusicStream(), 0u);

    SetMusicCommand music(name, false);
    EXPECT_TRUE(Run(music));
    const HSTREAM stream = m_sound.GetMusicStream();
    ASSERT_NE(stream, 0u);
    EXPECT_TRUE(m_sound.GetDevice().IsPlaying(stream));
    EXPECT_TRUE(Run(unmute)); // a playing track stays playing
    EXPECT_TRUE(m_sound.GetDevice().IsPlaying(stream));
    EXPECT_TRUE(Run(mute));
    EXPECT_FALSE(m_sound.GetDevice().IsPlaying(stream));
    m_sound.Update(0.1f);
    EXPECT_EQ(m_sound.GetMusicStream(), stream); // paused, not ended: no next track
    EXPECT_TRUE(Run(unmute));
    EXPECT_TRUE(m_sound.GetDevice().IsPlaying(stream));

    SetSfxCommand sfx(name);
    EXPECT_TRUE(Run(sfx));
    EXPECT_EQ(m_sound.GetEffectStreams().size(), 1u);

    m_resources.GetPlaylist(u"calm")->AddTrack(name);
    SetPlaylistCommand playlist(u"calm", true);
    EXPECT_TRUE(Run(playlist));
    EXPECT_EQ(m_sound.GetCurrentPlaylistName(), u"calm");
    EXPECT_EQ(m_sound.GetOldMusicStream(), stream); // faded out under the new track

    // Clearing the playlist fades the music out and leaves nothing current.
    ClearCommand clear(u"playlist");
    EXPECT_TRUE(Run(clear));
    EXPECT_EQ(m_sound.GetCurrentPlaylist(), nullptr);
    EXPECT_EQ(m_sound.GetMusicStream(), 0u);
    EXPECT_NE(m_sound.GetOldMusicStream(), 0u);
}

} // namespace
} // namespace Vel
