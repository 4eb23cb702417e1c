// The commands of the dialogue (text, speech, selection, pose) and of the sound.
#include "commands/ChangePoseCommand.h"
#include "commands/ClearCommand.h"
#include "commands/MuteCommand.h"
#include "commands/SetMusicCommand.h"
#include "commands/SetPlaylistCommand.h"
#include "commands/SetSelectionCommand.h"
#include "commands/SetTextCommand.h"
#include "commands/SetVolumeCommand.h"
#include "commands/SpeakCommand.h"

#include "AudioTools.h"
#include "HeadlessHge.h"
#include "ProcessRecordGuard.h"
#include "TempFolder.h"
#include "core/TextCodec.h"
#include "dialogue/Dialog.h"
#include "dialogue/DialogManager.h"
#include "dialogue/Selection.h"
#include "dialogue/Textbox.h"
#include "resources/Character.h"
#include "resources/Playlist.h"
#include "resources/Pose.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "resources/Style.h"
#include "scene/Action.h"
#include "scene/ClickGate.h"
#include "scene/Scene.h"
#include "sound/SoundManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

constexpr float kFrame = 1.0f / 60.0f;

class TextCommandsTest : public ::testing::Test
{
protected:
    TextCommandsTest()
    {
        m_box = m_dialogs.GetTextbox(u"main");
        m_box->SetSize(300.0f, 100.0f);
    }

    // Starts the command alone, counting its reports.
    void Run(Command& command)
    {
        command.SetCompletion(Callback<void()>([this] { ++m_reports; }));
        command.Execute(m_scene);
    }
    // A click as the dialogue layer hands it to a text box.
    static bool Click(Textbox& box) { return box.TestMouse(kUnset, kUnset, true); }

    // "anna": poses "calm" and "glad", speaking through "main".
    Character& Anna()
    {
        Character* anna = m_resources.GetCharacter(u"anna");
        anna->AddPose(u"calm", u"calm idle", u"calm speak", u"");
        anna->AddPose(u"glad", u"glad idle", u"", u"");
        anna->SetPose(u"calm");
        Style* style = m_resources.GetStyle(u"say");
        style->Set({.speed = 10}, m_resources.GetFontLibrary());
        anna->SetDialog(std::make_unique<Dialog>(u"main", u"name", nullptr, style, u"Anna"));
        return *anna;
    }
    std::u16string Tone(const std::string& name, double seconds)
    {
        EXPECT_TRUE(TestTools::WriteTone(m_folder.File(name), seconds));
        return TextCodec::Utf8ToWide(m_folder.File(name));
    }

    TestTools::ProcessRecordGuard m_records;
    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    DialogManager m_dialogs;
    SoundManager m_sound;
    Scene m_scene;
    Textbox* m_box = nullptr;
    int m_reports = 0;
};
using SoundCommandsTest = TextCommandsTest;

TEST_F(TextCommandsTest, WaitingTextReportsOnTheClickAfterTheTextAndClosesTheGate)
{
    Style* style = m_resources.GetStyle(u"plain");
    style->Set({.clickme = u"arrow"}, m_resources.GetFontLibrary());
    SetTextCommand text({m_box, u"Hello there", style, 10.0f, nullptr, true, true});
    Sprite* arrow = m_resources.GetSprite(u"arrow"); // defined after the command was read: found when it runs
    Run(text);
    EXPECT_EQ(m_box->GetClickme(), arrow);
    EXPECT_TRUE(Click(*m_box)); // completes the typing only
    EXPECT_EQ(m_reports, 0);
    EXPECT_TRUE(Click(*m_box));
    EXPECT_EQ(m_reports, 1);
    EXPECT_FALSE(m_box->IsVisible());
    EXPECT_FALSE(ClickGate::Left().IsReady()) << "the finishing click must not act again";

    SetTextCommand bare({m_box, u"x", nullptr, 0.0f, nullptr, false, false});
    Run(bare);
    EXPECT_EQ(m_box->GetClickme(), nullptr);
    EXPECT_FALSE(Click(*m_box)) << "skip=no: a click on the complete text does not go on";

    // Text without wait reports at once and leaves no stale handler.
    auto first = std::make_unique<SetTextCommand>(SetTextCommand::Text{m_box, u"one", nullptr, 0.0f});
    Run(*first);
    SetTextCommand second({m_box, u"two", nullptr, 10.0f});
    second.SetWait(false);
    Run(second);
    EXPECT_EQ(m_reports, 2);
    Click(*m_box);
    EXPECT_EQ(m_reports, 2) << "the first command's handler would report it a second time";
    EXPECT_TRUE(m_box->IsVisible()) << "the text stays on screen";

    Run(*first);
    first.reset();
    Click(*m_box);
    EXPECT_EQ(m_reports, 2) << "a waiting command that is gone is no longer reached through its box";
}

// How a pose shows its mode is the character's own, and a voice ending before its line is the dialogue run's; here
// finishing the line ends its voice.
TEST_F(TextCommandsTest, FinishingALineStopsItsVoiceAndPoseChangesReportAtOnce)
{
    Character& anna = Anna();
    SpeakCommand line(u"A long story", u"anna", Tone("long.wav", 5.0));
    line.SetWait(false); // a line always waits for its reader
    Run(line);
    m_sound.Update(kFrame);
    ASSERT_NE(m_sound.GetVoiceStream(), 0u);
    EXPECT_EQ(anna.GetCurrentPose()->GetMode(), Pose::Speaking);
    EXPECT_EQ(m_reports, 0);
    m_dialogs.CompleteAll();
    EXPECT_EQ(m_reports, 1);
    EXPECT_EQ(m_sound.GetVoiceStream(), 0u) << "finishing the line stops its voice";
    EXPECT_EQ(anna.GetCurrentPose()->GetMode(), Pose::Idle);

    ChangePoseCommand glad(u"anna", u"glad");
    Run(glad);
    EXPECT_EQ(anna.GetCurrentPose(), anna.FindPose(u"glad"));
    SpeakCommand stranger(u"Who?", u"nobody", u"");
    Run(stranger);
    EXPECT_EQ(m_reports, 3) << "pose changes and lines that cannot be shown report at once";

    // A line is stored in as few bytes as its characters allow and is shown as written.
    for (const std::u16string& text :
         {std::u16string(u"Caf\u00E9 \u00FF"), std::u16string(u"\u0100\u00E9"), std::u16string(1, u'\xD800')}) {
        SpeakCommand said(text, u"anna", u"");
        Run(said);
        EXPECT_EQ(m_box->GetSourceText(), text);
    }
}

TEST_F(TextCommandsTest, SelectionReportsOnlyAfterAChoiceAndItsClickDoesNotAdvanceTheNextText)
{
    auto selection = std::make_unique<SetSelectionCommand>();
    SetSelectionCommand* choice = selection.get();
    choice->AddChoice(nullptr, u"Left", nullptr, 10.0f, 10.0f, 100.0f, 20.0f);
    choice->AddChoice(nullptr, u"Right", nullptr, 10.0f, 40.0f, 100.0f, 20.0f);
    m_scene.AddCommand(std::move(selection));
    m_scene.AddCommand(std::make_unique<SetTextCommand>(SetTextCommand::Text{m_box, u"After", nullptr, 5.0f}));
    m_scene.Start();
    EXPECT_TRUE(m_dialogs.IsSelectionActive());
    m_dialogs.Update(1.0f);
    EXPECT_EQ(m_scene.GetPosition(), 0) << "no report within Execute";
    Textbox& left = *choice->GetSelection().GetChoices()[0];

    EXPECT_TRUE(ClickGate::Left().Accept(true)); // the deciding click, as the dialogue layer takes it
    EXPECT_TRUE(left.TestMouse(20.0f, 15.0f, true));
    EXPECT_EQ(m_scene.GetPosition(), 1);
    EXPECT_TRUE(m_box->IsVisible());
    ClickGate::Left().Advance(kFrame);
    EXPECT_FALSE(ClickGate::Left().Accept(true)) << "the held button does not reach the new text";

    m_scene.Reset();
    m_scene.TakeCommands().clear();
    EXPECT_EQ(m_dialogs.GetSelection(), nullptr) << "the manager only borrows the selection";
}

// How the manager mixes, mutes and fades is its own; here each sound command reports at once and reaches it. The sound
// run plays an effect.
TEST_F(SoundCommandsTest, EachCommandReportsAtOnceAndReachesTheSoundManager)
{
    SetVolumeCommand louder(5);
    Run(louder);
    EXPECT_EQ(std::vector({m_sound.GetMusicVolume(), m_sound.GetSfxVolume(), m_sound.GetVoiceVolume(),
                           m_sound.GetMasterVolume()}),
              std::vector({8.0f, 13.0f, 15.0f, 10.0f}))
        << "a step of 5 raises every channel but the master by 5";
    const std::u16string track = Tone("track.wav", 1.0);
    MuteCommand mute(true), unmute(false);
    Run(mute); // without music: nothing to pause
    SetMusicCommand music(track, false);
    Run(music);
    const HSTREAM stream = m_sound.GetMusicStream();
    ASSERT_NE(stream, 0u);
    Run(mute);
    EXPECT_FALSE(m_sound.GetDevice().IsPlaying(stream));
    Run(unmute);
    EXPECT_TRUE(m_sound.GetDevice().IsPlaying(stream));

    m_resources.GetPlaylist(u"calm")->AddTrack(track);
    SetPlaylistCommand playlist(u"calm", true);
    Run(playlist);
    EXPECT_EQ(m_sound.GetCurrentPlaylistName(), u"calm");
    EXPECT_EQ(m_sound.GetOldMusicStream(), stream) << "faded out under the new track";
    ClearCommand clear(u"playlist");
    Run(clear);
    EXPECT_EQ(m_sound.GetCurrentPlaylist(), nullptr);
    EXPECT_EQ(m_sound.GetMusicStream(), 0u) << "clearing the playlist fades the music out";
    EXPECT_EQ(m_reports, 7);
}

} // namespace
} // namespace Vel
