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

// How the manager mixes, mutes and fades is its own; here each command reports at once and reaches it.
TEST_F(SoundCommandsTest, EachCommandReportsAtOnceAndReachesTheSoundManager)
{
    SetVolumeCommand louder(5);
    EXPECT_TRUE(Run(louder));
    EXPECT_EQ(std::vector({m_sound.GetMusicVolume(), m_sound.GetSfxVolume(), m_sound.GetVoiceVolume(),
                           m_sound.GetMasterVolume()}),
              std::vector({8.0f, 13.0f, 15.0f, 10.0f}))
        << "a step of 5 raises every channel but the master by 5";

    const std::string track = m_folder.File("track.wav");
    ASSERT_TRUE(TestTools::WriteTone(track, 1.0));
    const std::u16string name = TextCodec::Utf8ToWide(track);
    MuteCommand mute(true), unmute(false);
    EXPECT_TRUE(Run(mute)) << "muting without music does nothing and still reports";
    SetMusicCommand music(name, false);
    EXPECT_TRUE(Run(music));
    const HSTREAM stream = m_sound.GetMusicStream();
    ASSERT_NE(stream, 0u);
    EXPECT_TRUE(Run(mute));
    EXPECT_FALSE(m_sound.GetDevice().IsPlaying(stream));
    EXPECT_TRUE(Run(unmute));
    EXPECT_TRUE(m_sound.GetDevice().IsPlaying(stream));

    SetSfxCommand sfx(name);
    EXPECT_TRUE(Run(sfx));
    EXPECT_EQ(m_sound.GetEffectStreams().size(), 1u);

    m_resources.GetPlaylist(u"calm")->AddTrack(name);
    SetPlaylistCommand playlist(u"calm", true);
    EXPECT_TRUE(Run(playlist));
    EXPECT_EQ(m_sound.GetCurrentPlaylistName(), u"calm");
    EXPECT_EQ(m_sound.GetOldMusicStream(), stream) << "faded out under the new track";
    // Clearing the playlist fades the music out and leaves nothing current.
    ClearCommand clear(u"playlist");
    EXPECT_TRUE(Run(clear));
    EXPECT_EQ(m_sound.GetCurrentPlaylist(), nullptr);
    EXPECT_EQ(m_sound.GetMusicStream(), 0u);
}

} // namespace
} // namespace Vel
