// The statements that add one command each to the open scene: the flow statements and the sound statements.
#include "HeadlessHge.h"
#include "ScriptRun.h"
#include "commands/GotoCommand.h"
#include "commands/IfThenElseCommand.h"
#include "commands/MuteCommand.h"
#include "commands/SetMusicCommand.h"
#include "commands/SetPlaylistCommand.h"
#include "commands/SetSfxCommand.h"
#include "commands/SetVolumeCommand.h"
#include "resources/Playlist.h"
#include "resources/ResourceManager.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Vel {
namespace {

using TestTools::kBadNumber;

// A conditional with its pairs and branches, the other commands without a description by their kind.
std::string Describe(const Command* command)
{
    if (command == nullptr)
        return "none";
    if (const auto* branch = dynamic_cast<const IfThenElseCommand*>(command)) {
        std::string text = "if";
        for (const auto& [name, value] : branch->GetCondition())
            text += " [" + TextCodec::WideToUtf8(name) + "]=[" + TextCodec::WideToUtf8(value) + "]";
        return text + " then " + Describe(branch->GetThen()) + " else " + Describe(branch->GetElse());
    }
    if (const auto* mute = dynamic_cast<const MuteCommand*>(command))
        return mute->IsMute() ? "mute" : "unmute";
    for (const auto& [kind, found] : {std::pair{"goto", dynamic_cast<const GotoCommand*>(command) != nullptr},
                                      {"music", dynamic_cast<const SetMusicCommand*>(command) != nullptr},
                                      {"playlist", dynamic_cast<const SetPlaylistCommand*>(command) != nullptr},
                                      {"sfx", dynamic_cast<const SetSfxCommand*>(command) != nullptr},
                                      {"volume", dynamic_cast<const SetVolumeCommand*>(command) != nullptr}})
        if (found)
            return kind;
    return TextCodec::WideToUtf8(command->GetDescription()) + (command->GetWait() ? "" : " nowait");
}

class CommandStatementsTest : public ::testing::Test
{
protected:
    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    ScenesManager m_scenes;
    TriggerManager m_triggers;
    TestTools::ScriptRun m_script;
};

TEST_F(CommandStatementsTest, StatementsBuildTheirCommandsOrFail)
{
    const std::pair<std::u16string_view, std::string> cases[] = {
        {u"pause", "Pause"},
        {u"delay(500)", "Delay-0.5"},
        {u"delay(250, wait=no)", "Delay-0.25 nowait"},
        {u"set(visited, yes)", "Set trigger-visited=yes"},
        // Branches live in the conditional, not in the scene; blanks around '=' stay.
        {u"if a=1 and b==2 then goto(s1) else set(x, y)", "if [a]=[1] [b]=[2] then goto else Set trigger-x=y"},
        {u"if a = 1 then goto(s2)", "if [a ]=[ 1] then goto else none"},
        {u"if a=1 then  else goto(s3)", "if [a]=[1] then none else goto"},
        {u"if a then goto(x)", "if: the condition part 'a' has no '='"},
        {u"if a=1 and b then goto(x)", "if: the condition part 'b' has no '='"},
        {u"delay()", kBadNumber + "argument 1 of delay, '', is not a number of milliseconds"},
        // a branch's error is the conditional's
        {u"if a=1 then delay(x)", kBadNumber + "argument 1 of delay, 'x', is not a number of milliseconds"},
        {u"music(on)", "unmute"},
        {u"music(off)", "mute"},
        {u"music(On)", "music"}, // only the exact words switch
        {u"sfx(bell.wav)", "sfx"},
        {u"playlist(calm)", "playlist"},
        {u"volume(-3)", "volume"},
        {u"volume()", ""},
        {u"volume(x)", kBadNumber + "argument 1 of volume, 'x', is not a whole number"},
    };
    for (const auto& [statement, expected] : cases)
        EXPECT_EQ(m_script.InScene(statement, Describe), expected) << TextCodec::WideToUtf8(statement);
    for (const std::u16string_view statement :
         {u"pause", u"delay(10)", u"goto(x)", u"href(x)", u"rightclick(no)", u"set(a, b)", u"if a=1 then goto(x)",
          u"music(a.ogg)", u"sfx(a.wav)", u"playlist(p)", u"volume(1)"}) {
        const std::string name = TextCodec::WideToUtf8(statement.substr(0, statement.find_first_of(u"( ")));
        EXPECT_EQ(m_script.Run({statement}), name + " needs an open scene, interface or menu block");
    }
}

TEST_F(CommandStatementsTest, PlaylistBlocksCollectTracksAndTracksNeedAPlaylistBlock)
{
    EXPECT_EQ(m_script.Run({u"beginplaylist(calm, random=yes)", u"file(a.ogg)", u"file(b.ogg)", u"end",
                            u"beginplaylist(calm)", u"file(c.ogg)", u"end"}),
              "");
    EXPECT_EQ(m_resources.GetPlaylist(u"calm")->GetTracks(),
              (std::vector<std::u16string>{u"a.ogg", u"b.ogg", u"c.ogg"}));

    // A track outside a playlist block is an error, also inside another kind of block.
    EXPECT_NE(m_script.Run({u"file(a.ogg)"}).find("file"), std::string::npos);
    EXPECT_NE(m_script.Run({u"beginscene(s99)", u"file(a.ogg)", u"end"}).find("file"), std::string::npos);
}

} // namespace
} // namespace Vel
