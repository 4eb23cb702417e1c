// The statements that define pictures, characters, text and sound, and those that add commands to a scene, read
// against the tables of tests/script/data and, where they leave state behind, looked at directly; and the faults an
// author meets first.
#include "HeadlessHge.h"
#include "ProcessRecordGuard.h"
#include "ScriptRun.h"
#include "app/GameSystems.h"
#include "commands/GotoCommand.h"
#include "commands/IfThenElseCommand.h"
#include "commands/ModifyOpacityCommand.h"
#include "commands/ModifyZoomCommand.h"
#include "commands/MuteCommand.h"
#include "commands/SetMusicCommand.h"
#include "commands/SetPlaylistCommand.h"
#include "commands/SetSelectionCommand.h"
#include "commands/SetSfxCommand.h"
#include "commands/SetVolumeCommand.h"
#include "commands/SpeakCommand.h"
#include "core/DisplaySettings.h"
#include "core/UserFiles.h"
#include "dialogue/Selection.h"
#include "dialogue/Textbox.h"
#include "resources/Animation.h"
#include "resources/Character.h"
#include "resources/Playlist.h"
#include "resources/Sprite.h"
#include "resources/Style.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace Vel {
namespace {

// A command by its description and what that leaves out: a conditional's pairs and branches, the kind of a sound or
// jump command, a line's voice, a selection's count of entries, the kinds of attached commands in order.
std::string Describe(const Command* command)
{
    if (command == nullptr)
        return "none";
    std::string text = TextCodec::WideToUtf8(command->GetDescription());
    if (const auto* branch = dynamic_cast<const IfThenElseCommand*>(command)) {
        text = "if";
        for (const auto& [name, value] : branch->GetCondition())
            text += " [" + TextCodec::WideToUtf8(name) + "]=[" + TextCodec::WideToUtf8(value) + "]";
        text += " then " + Describe(branch->GetThen()) + " else " + Describe(branch->GetElse());
    } else if (const auto* mute = dynamic_cast<const MuteCommand*>(command)) {
        text = mute->IsMute() ? "mute" : "unmute";
    } else if (const auto* speak = dynamic_cast<const SpeakCommand*>(command)) {
        text += speak->GetVoice().empty() ? "" : " [" + TextCodec::WideToUtf8(speak->GetVoice()) + "]";
    } else if (const auto* selection = dynamic_cast<const SetSelectionCommand*>(command)) {
        text += " of " + std::to_string(selection->GetSelection().GetChoices().size());
    }
    for (const auto& [kind, found] : {std::pair{"goto", dynamic_cast<const GotoCommand*>(command) != nullptr},
                                      {"music", dynamic_cast<const SetMusicCommand*>(command) != nullptr},
                                      {"playlist", dynamic_cast<const SetPlaylistCommand*>(command) != nullptr},
                                      {"sfx", dynamic_cast<const SetSfxCommand*>(command) != nullptr},
                                      {"volume", dynamic_cast<const SetVolumeCommand*>(command) != nullptr}})
        text = found ? kind : text;
    for (const auto& child : command->GetChildren())
        text += dynamic_cast<const ModifyOpacityCommand*>(child.get()) ? " +fade"
                : dynamic_cast<const ModifyZoomCommand*>(child.get())  ? " +zoom"
                                                                       : " +other";
    return text + (command->GetWait() ? "" : " nowait");
}

class StatementsTest : public ::testing::Test
{
protected:
    TestTools::HeadlessHge m_hge;
    GameSystems m_systems;
    TestTools::ScriptRun m_script;
};

TEST_F(StatementsTest, StatementsBuildTheirCommandsOrFail)
{
    for (const char* table : {"resource_statements.txt", "text_statements.txt", "command_statements.txt"})
        m_script.CheckTable(table, Describe);
    EXPECT_NE(m_systems.dialogue.FindTextbox(u"main"), nullptr) << "a text statement makes its box";
}

// The pictures, tracks, styles and boxes that the definitions of definitions.txt leave.
TEST_F(StatementsTest, DefinitionsLeaveTheirPicturesTracksStylesAndBoxes)
{
    for (const TestTools::Row& row : TestTools::ReadTable("definitions.txt")) {
        std::string state = m_script.Outcome(row.lines, Describe);
        for (const std::u16string& text :
             {m_systems.resources.GetSprite(u"bg")->GetFile(), m_script.parser->CurrentResource()})
            state += ", " + TextCodec::WideToUtf8(text);
        for (const std::u16string& track : m_systems.resources.GetPlaylist(u"calm")->GetTracks())
            state += " " + TextCodec::WideToUtf8(track);
        for (const char16_t* style : {u"bold", u"plain", u"packed"})
            state += ", " + std::to_string(m_systems.resources.GetStyle(style)->GetSize()) + " il " +
                     std::to_string(m_systems.resources.GetStyle(style)->GetLineSpacing());
        EXPECT_EQ(state + ", " + std::to_string(m_systems.resources.GetAnimation(u"walk")->GetFrameCount()) +
                      " frames, width " + std::to_string(m_systems.dialogue.FindTextbox(u"main")->GetWidth()),
                  row.expected)
            << row.where;
    }
}

TEST_F(StatementsTest, CharacterStatementSwitchesThePoseAndPlacesOnlyWhenAsked)
{
    // Every value of the block left out: no styles, an avatar without a picture.
    ASSERT_EQ(m_script.Run({u"begincharacter(anna)", u"pose(calm, idle=anna idle)", u"pose(glad, idle=anna smile)",
                            u"avatar", u"dialog(textbox=main)", u"end", u"character(anna)"}),
              "")
        << "without pose and placement the statement only names the character";
    Character* anna = m_systems.resources.GetCharacter(u"anna");
    EXPECT_EQ(anna->GetCurrentPose(), nullptr);
    // A pose places the character, which needs a scene; the pose is taken at once all the same.
    EXPECT_EQ(m_script.Run({u"character(anna, pose=glad)"}), "Node command out of scene");
    EXPECT_EQ(anna->GetCurrentPose(), anna->FindPose(u"glad"));

    EXPECT_EQ(m_script.Outcome({u"beginscene(@)", u"character(anna, pose=calm, layer=3, opacity=0:100:500)",
                                u"character(anna)", u"character(anna, pose=nothing)", u"end"},
                               Describe),
              "Modify node-anna +fade +other; Modify node-anna +other")
        << "a statement without pose or placement builds nothing; the pose change comes last";
    EXPECT_EQ(anna->GetCurrentPose(), anna->FindPose(u"calm")) << "an unknown pose changes nothing";
}

TEST_F(StatementsTest, AShowConditionNeedsATriggerNameAndTakesAnEmptyValue)
{
    const std::string fault = "when= needs a trigger and a value: trigger:value";
    EXPECT_EQ(m_script.Run({u"object(mark, when=flag)"}), fault);
    EXPECT_EQ(m_script.Run({u"object(mark, when=:on)"}), fault);
    ASSERT_EQ(m_script.Run({u"object(mark, when=flag:)"}), "");
    const ShowCondition* condition = m_systems.resources.GetSprite(u"mark")->GetShowCondition();
    ASSERT_NE(condition, nullptr);
    EXPECT_EQ(condition->trigger + u"=" + condition->value, u"flag=");
}

TEST_F(StatementsTest, AVoiceWaitsForTheNextLineAcrossFiles)
{
    ParseManager parser;
    parser.Parse(m_script.Write({u"voice(late.ogg)"}));
    EXPECT_EQ(parser.PendingVoice(), u"late.ogg");
    parser.Parse(m_script.Write({u"beginscene(late)", u"say(anna, Hi)", u"end"}));
    EXPECT_EQ(parser.PendingVoice(), u"");
    ASSERT_EQ(m_systems.scenes.FindScene(u"late")->GetCommands().size(), 1u);
    EXPECT_EQ(Describe(m_systems.scenes.FindScene(u"late")->GetCommands()[0]), "Speak-anna [late.ogg]");
}

// The faults of faults.txt, each at the line where its statement began, and the game ids game_init takes.
TEST_F(StatementsTest, FaultsNameTheLineWhereTheirStatementBeganAndGameIdsMustNameAFolder)
{
    TestTools::ProcessRecordGuard records;
    for (const TestTools::Row& row : TestTools::ReadTable("faults.txt")) {
        const std::string first = TextCodec::WideToUtf8(row.lines.empty() ? u"" : row.lines[0]);
        if (first.starts_with("folder ")) {
            EXPECT_EQ(UserFiles::GameIdOfFolder(first.substr(7)), row.expected) << row.where;
            continue;
        }
        TheGameNames().gameId.clear();
        std::string outcome = m_script.Run(row.lines);
        const std::string report = TextCodec::WideToUtf8(m_script.parser->ErrorReport());
        const std::size_t line = report.find("Line: ") + 6;
        if (!outcome.empty())
            outcome = report.substr(line, report.find('\n', line) - line) + ": " + outcome;
        else if (!TheGameNames().gameId.empty())
            outcome = "game id " + TextCodec::WideToUtf8(TheGameNames().gameId);
        EXPECT_EQ(outcome, row.expected) << row.where;
    }
}

// Every statement that acts on a manager refuses to be read without it.
TEST(StatementsWithoutManagersTest, StatementsNeedingAMissingManagerFail)
{
    TestTools::ScriptRun script;
    {
        ScenesManager scenes;
        script.CheckTable("no_managers.txt");
    }
    for (const std::u16string_view first : {u"beginscene(a)", u"begininterface(hud)"})
        EXPECT_EQ(script.Run({first}), TextCodec::WideToUtf8(first.substr(0, first.find(u'('))) +
                                           " cannot be read before the game's managers exist");
}

} // namespace
} // namespace Vel
