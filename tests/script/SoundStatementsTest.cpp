#include "HeadlessHge.h"
#include "ScriptRun.h"
#include "commands/MuteCommand.h"
#include "commands/SetMusicCommand.h"
#include "commands/SetPlaylistCommand.h"
#include "commands/SetSfxCommand.h"
#include "commands/SetVolumeCommand.h"
#include "resources/Playlist.h"
#include "resources/ResourceManager.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>

namespace Vel {
namespace {

std::string Describe(const Command* command)
{
    if (const auto* mute = dynamic_cast<const MuteCommand*>(command))
        return mute->IsMute() ? "mute" : "unmute";
    for (const auto& [name, found] : {std::pair{"music", dynamic_cast<const SetMusicCommand*>(command) != nullptr},
                                      {"playlist", dynamic_cast<const SetPlaylistCommand*>(command) != nullptr},
                                      {"sfx", dynamic_cast<const SetSfxCommand*>(command) != nullptr},
                                      {"volume", dynamic_cast<const SetVolumeCommand*>(command) != nullptr}})
        if (found)
            return name;
    return "other";
}

class SoundStatementsTest : public ::testing::Test
{
protected:
    std::string Parse(std::initializer_list<std::u16string_view> lines) { return m_script.Scene(lines, Describe); }

    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    ScenesManager m_scenes;
    TestTools::ScriptRun m_script;
};

TEST_F(SoundStatementsTest, CommandStatementsBuildTheirCommands)
{
    const std::pair<std::u16string_view, std::string> cases[] = {
        {u"music(on)", "unmute"},
        {u"music(off)", "mute"},
        {u"music(On)", "music"}, // only the exact words switch
        {u"sfx(bell.wav)", "sfx"},
        {u"playlist(calm)", "playlist"},
        {u"volume(-3)", "volume"},
        {u"volume()", ""},
        {u"volume(x)", TestTools::kBadNumber},
    };
    for (const auto& [statement, expected] : cases)
        EXPECT_EQ(m_script.InScene(statement, Describe), expected) << TextCodec::WideToUtf8(statement);
    for (const std::u16string_view statement : {u"music(a.ogg)", u"sfx(a.wav)", u"playlist(p)", u"volume(1)"}) {
        const std::string name = TextCodec::WideToUtf8(statement.substr(0, statement.find(u'(')));
        EXPECT_EQ(Parse({statement}), name + " needs an open scene, interface or menu block");
    }
}

TEST_F(SoundStatementsTest, PlaylistBlocksCollectTracksAndKeepTheShuffleFlag)
{
    EXPECT_EQ(Parse({u"beginplaylist(calm, random=yes)", u"file(a.ogg)", u"file(b.ogg)", u"end", u"beginplaylist(calm)",
                     u"file(c.ogg)", u"end"}),
              "");
    const Playlist* calm = m_resources.GetPlaylist(u"calm");
    EXPECT_TRUE(calm->IsShuffled());
    EXPECT_EQ(calm->GetTracks(), (std::vector<std::u16string>{u"a.ogg", u"b.ogg", u"c.ogg"}));
    EXPECT_FALSE(m_resources.GetPlaylist(u"other")->IsShuffled());

    // A track outside a playlist block is an error, also inside another kind of block.
    EXPECT_NE(Parse({u"file(a.ogg)"}).find("file"), std::string::npos);
    EXPECT_NE(Parse({u"beginscene(s99)", u"file(a.ogg)", u"end"}).find("file"), std::string::npos);
}

} // namespace
} // namespace Vel
