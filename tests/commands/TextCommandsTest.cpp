#include "commands/ChangePoseCommand.h"
#include "commands/SetSelectionCommand.h"
#include "commands/SetTextCommand.h"
#include "commands/SpeakCommand.h"

#include "AudioTools.h"
#include "HeadlessHge.h"
#include "TempFolder.h"
#include "app/TextCodec.h"
#include "dialogue/Dialog.h"
#include "dialogue/DialogManager.h"
#include "dialogue/Selection.h"
#include "dialogue/Textbox.h"
#include "resources/Character.h"
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

namespace Vel {
namespace {

constexpr float kFrame = 1.0f / 60.0f;

class TextCommandsTest : public ::testing::Test
{
protected:
    TextCommandsTest()
    {
        ClickGate::Left().Reset();
        m_box = m_dialogs.GetTextbox(u"main");
        m_box->SetSize(300.0f, 100.0f);
    }
    ~TextCommandsTest() override { ClickGate::Left().Reset(); }

    // Starts the command alone, counting its reports.
    void Run(Command& command)
    {
        command.SetCompletion(Callback<void()>([this] { ++m_reports; }));
        command.Execute(m_scene);
    }
    // A click as the dialogue layer hands it to a text box.
    static bool Click(Textbox& box) { return box.TestMouse(kUnset, kUnset, true); }

    // "anna": poses "calm" and "glad" (idle and speaking pictures), speaking through "main" with the name in "name".
    Character& Anna()
    {
        Character* anna = m_resources.GetCharacter(u"anna");
        // Poses find their pictures when they are added.
        for (const char16_t* picture : {u"calm idle", u"calm speak", u"glad idle"})
            EXPECT_NE(m_resources.GetSprite(picture), nullptr);
        anna->AddPose(u"calm", u"calm idle", u"calm speak", u"");
        anna->AddPose(u"glad", u"glad idle", u"", u"");
        anna->SetPose(u"calm");
        Style* style = m_resources.GetStyle(u"say");
        style->Set(u"", 0, 0, u"", 10, u"", 1.0f, 1.0f, 1.0f, 1.0f, m_resources.GetFontLibrary());
        anna->SetDialog(std::make_unique<Dialog>(u"main", u"name", nullptr, style, u"Anna"));
        return *anna;
    }
    std::u16string Tone(const std::string& name, double seconds)
    {
        EXPECT_TRUE(TestTools::WriteTone(m_folder.File(name), seconds));
        return TextCodec::Utf8ToWide(m_folder.File(name));
    }
    void PlaySound(float seconds)
    {
        for (float t = 0.0f; t < seconds; t += kFrame)
            m_sound.Update(kFrame);
    }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    DialogManager m_dialogs;
    SoundManager m_sound;
    Scene m_scene;
    Textbox* m_box = nullptr;
    int m_reports = 0;
};

TEST_F(TextCommandsTest, WaitingTextReportsOnTheClickAfterTheTextAndHidesItsBox)
{
    Style* style = m_resources.GetStyle(u"plain");
    style->Set(u"", 0, 0, u"", 0, u"arrow", 1.0f, 1.0f, 1.0f, 1.0f, m_resources.GetFontLibrary());
    SetTextCommand text({m_box, u"Hello there", style, 10.0f, nullptr, true, true});
    // The continue picture is defined after the command was read: it is found when the command runs.
    Sprite* arrow = m_resources.GetSprite(u"arrow");
    Run(text);
    EXPECT_EQ(m_reports, 0);
    EXPECT_TRUE(m_box->IsVisible());
    EXPECT_EQ(m_box->GetSourceText(), u"Hello there");
    EXPECT_EQ(m_box->GetStyle(), style);
    EXPECT_EQ(m_box->GetClickme(), arrow);
    EXPECT_EQ(text.GetText().clickme, arrow);
    EXPECT_FALSE(m_box->IsComplete());

    EXPECT_TRUE(Click(*m_box)); // completes the typing only
    EXPECT_TRUE(m_box->IsComplete());
    EXPECT_EQ(m_reports, 0);
    EXPECT_TRUE(ClickGate::Left().IsReady());
    EXPECT_TRUE(Click(*m_box));
    EXPECT_EQ(m_reports, 1);
    EXPECT_FALSE(m_box->IsVisible());
    EXPECT_TRUE(m_box->GetCompletionHandler().IsEmpty());
    EXPECT_FALSE(ClickGate::Left().IsReady()) << "the finishing click must not act again";

    // Run again, the flags reach the box; without style or picture the box gets no picture.
    SetTextCommand bare({m_box, u"x", nullptr, 0.0f, nullptr, false, false});
    Run(bare);
    EXPECT_EQ(m_box->GetClickme(), nullptr);
    EXPECT_FALSE(m_box->GetClick());
    EXPECT_FALSE(m_box->GetSkip());
    EXPECT_FALSE(Click(*m_box)) << "skip=no: a click on the complete text does not go on";
    EXPECT_EQ(m_reports, 1);
}

TEST_F(TextCommandsTest, TextWithoutWaitReportsAtOnceAndLeavesNoStaleHandler)
{
    auto first = std::make_unique<SetTextCommand>(SetTextCommand::Text{m_box, u"one", nullptr, 0.0f});
    Run(*first);
    EXPECT_EQ(m_reports, 0);

    SetTextCommand second({m_box, u"two", nullptr, 10.0f});
    second.SetWait(false);
    Run(second);
    EXPECT_EQ(m_reports, 1);
    m_dialogs.Update(1.0f);
    EXPECT_TRUE(m_box->IsVisible()) << "the text stays on screen";
    EXPECT_EQ(m_box->GetSourceText(), u"two");
    // The first command's handler would report it a second time.
    Click(*m_box);
    EXPECT_EQ(m_reports, 1);
    EXPECT_TRUE(m_box->IsVisible());

    // A waiting command that is gone is no longer reached through its box.
    Run(*first);
    first.reset();
    Click(*m_box);
    EXPECT_EQ(m_reports, 1);

    // No box: nothing to show, and the story goes on.
    SetTextCommand boxless({nullptr, u"lost"});
    Run(boxless);
    EXPECT_EQ(m_reports, 2);
}

TEST_F(TextCommandsTest, VoiceSwitchesThePoseToSpeakingUntilItEndsWhileTheTextStays)
{
    Character& anna = Anna();
    Pose* calm = anna.GetCurrentPose();
    SpeakCommand line(u"Good morning", u"anna", Tone("short.wav", 0.3));
    EXPECT_EQ(line.GetDescription(), u"Speak-anna");
    Run(line);
    EXPECT_NE(m_sound.GetVoiceStream(), 0u);
    EXPECT_EQ(anna.GetSpeaking(), 1);
    EXPECT_EQ(calm->GetShownPicture(), m_resources.GetSprite(u"calm speak"));
    EXPECT_TRUE(m_box->IsVisible());
    EXPECT_EQ(m_box->GetSourceText(), u"Good morning");
    // A pose taken while the voice plays speaks too; a pose without its own speaking picture shows the idle one.
    anna.SetPose(u"glad");
    EXPECT_EQ(anna.GetCurrentPose()->GetMode(), Pose::Speaking);
    anna.SetPose(u"calm");

    PlaySound(0.5f);
    EXPECT_EQ(m_sound.GetVoiceStream(), 0u);
    EXPECT_EQ(anna.GetSpeaking(), 0);
    EXPECT_EQ(calm->GetShownPicture(), m_resources.GetSprite(u"calm idle"));
    EXPECT_TRUE(m_box->IsVisible()) << "the voice ending does not end the line";
    EXPECT_EQ(m_reports, 0);

    m_dialogs.CompleteAll(); // the reader finishes the line
    EXPECT_EQ(m_reports, 1);
    EXPECT_FALSE(m_box->IsVisible());
}

TEST_F(TextCommandsTest, FinishingTheLineBeforeItsVoiceStopsTheVoiceAndTheSpeakingPicture)
{
    Character& anna = Anna();
    SpeakCommand line(u"A long story", u"anna", Tone("long.wav", 5.0));
    line.SetWait(false); // a line always waits for its reader
    Run(line);
    EXPECT_EQ(m_reports, 0);
    PlaySound(0.1f);
    ASSERT_NE(m_sound.GetVoiceStream(), 0u);

    EXPECT_TRUE(Click(*m_box)); // completes the typing
    EXPECT_EQ(m_reports, 0);
    EXPECT_TRUE(Click(*m_box));
    EXPECT_EQ(m_reports, 1);
    EXPECT_EQ(m_sound.GetVoiceStream(), 0u);
    EXPECT_EQ(anna.GetSpeaking(), 0);
    EXPECT_EQ(anna.GetCurrentPose()->GetMode(), Pose::Idle);

    // A voice file that cannot be played leaves the pose silent.
    SpeakCommand missing(u"Hm", u"anna", TextCodec::Utf8ToWide(m_folder.File("missing.wav")));
    Run(missing);
    EXPECT_EQ(anna.GetSpeaking(), 0);
    m_dialogs.CompleteAll();
    EXPECT_EQ(m_reports, 2);
}

TEST_F(TextCommandsTest, LinesWithoutVoiceOrDialogLeaveTheSpeakingValueAlone)
{
    Character& anna = Anna();
    anna.SetSpeaking(1); // set by something else: a line without a voice has no business with it
    SpeakCommand line(u"Quiet", u"anna", u"");
    Run(line);
    EXPECT_EQ(anna.GetSpeaking(), 1);
    m_dialogs.CompleteAll();
    EXPECT_EQ(m_reports, 1);
    EXPECT_EQ(anna.GetSpeaking(), 1);

    // A speaker without a dialog cannot show the line: it is skipped instead of hanging the story.
    SpeakCommand stranger(u"Who?", u"nobody", u"");
    Run(stranger);
    EXPECT_EQ(m_reports, 2);
}

TEST_F(TextCommandsTest, SelectionReportsOnlyAfterAChoiceAndItsClickDoesNotAdvanceTheNextText)
{
    std::vector<std::string> log;
    class Note : public Action
    {
    public:
        explicit Note(std::vector<std::string>& log) : m_log(log) {}

    private:
        void Perform() override { m_log.push_back("left"); }
        std::vector<std::string>& m_log;
    };
    auto selection = std::make_unique<SetSelectionCommand>();
    SetSelectionCommand* choice = selection.get();
    choice->AddChoice(std::make_shared<Note>(log), u"Left", nullptr, 10.0f, 10.0f, 100.0f, 20.0f);
    choice->AddChoice(nullptr, u"Right", nullptr, 10.0f, 40.0f, 100.0f, 20.0f);
    ASSERT_EQ(choice->GetSelection().GetChoices().size(), 2u);
    m_scene.AddCommand(std::move(selection));
    m_scene.AddCommand(std::make_unique<SetTextCommand>(SetTextCommand::Text{m_box, u"After", nullptr, 5.0f}));
    m_scene.Start();
    EXPECT_EQ(m_dialogs.GetSelection(), &choice->GetSelection());
    EXPECT_TRUE(m_dialogs.IsSelectionActive());
    m_dialogs.Update(1.0f);
    EXPECT_EQ(m_scene.GetPosition(), 0) << "no report within Execute";
    Textbox& left = *choice->GetSelection().GetChoices()[0];
    EXPECT_FALSE(left.TestMouse(5.0f, 5.0f, true)) << "a click beside every choice chooses nothing";
    EXPECT_EQ(m_scene.GetPosition(), 0);

    EXPECT_TRUE(ClickGate::Left().Accept(true)); // the deciding click, as the dialogue layer takes it
    EXPECT_TRUE(left.TestMouse(20.0f, 15.0f, true));
    EXPECT_EQ(log, std::vector<std::string>{"left"});
    EXPECT_FALSE(m_dialogs.IsSelectionActive());
    EXPECT_EQ(m_scene.GetPosition(), 1);
    EXPECT_TRUE(m_box->IsVisible());
    EXPECT_FALSE(ClickGate::Left().IsReady());
    // The gate stays closed for the click delay: the held button does not reach the new text.
    ClickGate::Left().Advance(kFrame);
    EXPECT_FALSE(ClickGate::Left().Accept(true));
    EXPECT_EQ(m_scene.GetPosition(), 1);
    EXPECT_FALSE(m_box->GetCompletionHandler().IsEmpty());

    // The manager only borrows the selection: a deleted command takes it along.
    m_scene.Reset();
    m_scene.TakeCommands().clear();
    EXPECT_EQ(m_dialogs.GetSelection(), nullptr);
    EXPECT_FALSE(m_dialogs.IsSelectionActive());
}

TEST_F(TextCommandsTest, PoseChangeSwitchesKnownPosesAndReportsAtOnce)
{
    Character& anna = Anna();
    ChangePoseCommand glad(u"anna", u"glad");
    Run(glad);
    EXPECT_EQ(m_reports, 1);
    EXPECT_EQ(anna.GetCurrentPose(), anna.FindPose(u"glad"));
    ChangePoseCommand unknown(u"anna", u"angry");
    Run(unknown);
    EXPECT_EQ(m_reports, 2);
    EXPECT_EQ(anna.GetCurrentPose(), anna.FindPose(u"glad"));
    EXPECT_EQ(glad.GetDescription(), u"Undefined");
}

} // namespace
} // namespace Vel
