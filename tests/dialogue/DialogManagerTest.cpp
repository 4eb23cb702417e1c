#include "dialogue/DialogManager.h"
#include "ReplayLoop.h"

#include "DialogueTestTools.h"
#include "HeadlessHge.h"

#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "dialogue/Selection.h"
#include "dialogue/Textbox.h"
#include "scene/ClickGate.h"
#include "scene/RunFunctionAction.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

using TestTools::MarkPicture;
using Log = std::vector<std::string>;

Callback<void()> Logger(Log& log, std::string tag)
{
    return Callback<void()>([&log, tag] { log.push_back(tag); });
}

TEST(DialogManagerTest, BoxesAreMadeOnceDrawInNameOrderAndHideWithTheSelection)
{
    TestTools::TempFolder folder;
    TestTools::HeadlessHge hge;
    hge->System_SetState(HGE_LOGFILE, folder.File("engine.log").c_str());
    ASSERT_TRUE(hge->System_Initiate());
    DialogManager dialogs;
    std::vector<std::u16string> drawn;
    MarkPicture later(4.0f, 0xFFFFFF, &drawn), earlier(4.0f, 0xFFFFFF, &drawn);
    later.SetName(u"zeta");
    earlier.SetName(u"alpha");
    Textbox* zeta = dialogs.GetTextbox(u"zeta");
    EXPECT_EQ(dialogs.GetTextbox(u"zeta"), zeta) << "made once";
    zeta->SetText(u"z", nullptr, 0.0f, &later);
    dialogs.GetTextbox(u"alpha")->SetText(u"a", nullptr, 0.0f, &earlier);
    ASSERT_TRUE(hge->Gfx_BeginScene());
    dialogs.Render();
    hge->Gfx_EndScene();
    EXPECT_EQ(drawn, (std::vector<std::u16string>{u"alpha", u"zeta"})) << "name order, not the order of creation";

    Selection selection;
    dialogs.SetSelection(&selection);
    dialogs.HideAll();
    EXPECT_FALSE(zeta->IsVisible() || dialogs.IsSelectionActive());
}

TEST(DialogManagerTest, SkipTextCompletesAndAdvancesTheTextsShownWhenAsked)
{
    DialogManager dialogs;
    Log log;
    Textbox* typing = dialogs.GetTextbox(u"a");
    Textbox* waiting = dialogs.GetTextbox(u"b");
    typing->SetText(u"still typing", nullptr, 1.0f, nullptr);
    typing->SetCompletionHandler(Callback<void()>([&] {
        log.push_back(typing->IsComplete() ? "a complete" : "a typing");
        typing->HideBox();
        typing->SetCompletionHandler({});
    }));
    waiting->SetText(u"read", nullptr, 0.0f, nullptr, Textbox::TypingClick::ShowsAll, Textbox::ReadClick::Ignored);
    waiting->SetCompletionHandler(Logger(log, "b"));
    dialogs.GetTextbox(u"c")->SetCompletionHandler(Logger(log, "c"));
    dialogs.CompleteAll();
    EXPECT_EQ(log, (Log{"a complete", "b"})) << "skip is not asked; hidden boxes are left alone";

    // A handler puts the next line into a box still to come: that line is read, not skipped too.
    log.clear();
    typing->SetText(u"line one", nullptr, 1.0f, nullptr);
    typing->SetCompletionHandler(Callback<void()>([&] {
        log.push_back("a");
        waiting->SetText(u"line two", nullptr, 1.0f, nullptr);
    }));
    dialogs.CompleteAll();
    EXPECT_EQ(log, Log{"a"});
    EXPECT_FALSE(waiting->IsComplete());
}

// Replayed mouse input on a 640 x 480 window showing a 320 x 240 game: window pixels are twice game pixels.
class DialogManagerInputTest : public TestTools::InputTest
{
protected:
    DialogManagerInputTest() : InputTest(DisplaySettings{320, 240, 0, 640, 480, false}) {}

    // Runs the layer as the scenes manager does; returns HandleInput's answers.
    std::vector<bool> Run(const std::string& replay, int frames, const std::function<void()>& afterFrame)
    {
        TestTools::HeadlessHge hge(TestTools::ReplayOptions(replay, frames), 640, 480);
        HgeManager manager(m_folder.File("engine.log"));
        EXPECT_TRUE(hge->System_Initiate());
        std::vector<bool> taken;
        TestTools::RunFrames(hge.Get(), [&] {
            m_dialogs.Update(1.0f / 60.0f);
            taken.push_back(m_dialogs.HandleInput());
            afterFrame();
            ClickGate::Left().Advance(1.0f / 60.0f);
        });
        return taken;
    }

    DialogManager m_dialogs;
    Log m_log;
};

TEST_F(DialogManagerInputTest, ChoicesDimButTheOneUnderTheMouseAndTheirClickAlsoReachesTheTextBoxes)
{
    Selection selection;
    selection.AddChoice(std::make_shared<RunFunctionAction>(Logger(m_log, "left")), u"Left", nullptr, 10, 20, 100, 30);
    selection.AddChoice(std::make_shared<RunFunctionAction>(Logger(m_log, "right")), u"Right", nullptr, 10, 60, 100,
                        30);
    // The story goes on at once: its next line must be typed from the start, not completed by the deciding click.
    Textbox* next = m_dialogs.GetTextbox(u"next");
    selection.SetFinishHandler(Callback<void()>([this, next] {
        m_log.push_back("finish");
        m_dialogs.SetSelectionActive(false);
        next->SetText(u"The answer", nullptr, 1.0f, nullptr);
    }));
    m_dialogs.SetSelection(&selection);
    Textbox* text = m_dialogs.GetTextbox(u"text");
    text->SetText(u"The question", nullptr, 0.0f, nullptr);
    text->SetCompletionHandler(Logger(m_log, "read"));

    std::vector<float> opacities;
    const std::vector<bool> taken = Run("1 move 100 60\n2 leave\n3 click 100 140\n", 4, [&] {
        for (const auto& choice : selection.GetChoices())
            opacities.push_back(choice->GetOpacity());
    });
    opacities.resize(4);
    EXPECT_EQ(opacities, (std::vector<float>{1.0f, 0.7f, 0.7f, 0.7f})) << "over the left choice, then outside";
    EXPECT_EQ(m_log, (Log{"right", "finish", "read"})) << "one click: the choice, then the text below";
    EXPECT_EQ(taken, (std::vector<bool>{true, true, true, false}));
    EXPECT_FALSE(next->IsComplete());
}

// The dialogue layer's input test clicks choices with actions; here, a choice without one and a finish handler that
// replaces itself.
TEST(SelectionTest, AChoiceWithoutCommandsStillChoosesAndStaysWhole)
{
    Selection selection;
    Log log;
    selection.AddChoice(nullptr, u"Stay", nullptr, 10, 60, 100, 30);
    selection.SetFinishHandler(Callback<void()>([&] {
        log.push_back("finish");
        selection.SetFinishHandler(Logger(log, "finish again"));
    }));
    Textbox& stay = *selection.GetChoices().at(0);
    EXPECT_TRUE(stay.IsVisible() && stay.IsComplete());
    EXPECT_FALSE(stay.TestMouse(50, 90, true)) << "the bottom edge is outside";
    for (int click = 0; click < 2; ++click)
        EXPECT_TRUE(stay.TestMouse(20, 70, true));
    EXPECT_EQ(log, (Log{"finish", "finish again"}));

    // Time does not retype a choice.
    stay.Update(5.0f);
    EXPECT_EQ(stay.GetShown(), 4);
}

} // namespace
} // namespace Vel
