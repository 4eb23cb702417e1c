#include "dialogue/DialogManager.h"

#include "DialogueTestTools.h"
#include "HeadlessHge.h"

#include "dialogue/Selection.h"
#include "dialogue/Textbox.h"

#include <gtest/gtest.h>

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

    // Shown choices take the mouse from the scenes below; hidden, they do not.
    Selection selection;
    dialogs.SetSelection(&selection);
    EXPECT_TRUE(dialogs.HandleInput());
    dialogs.HideAll();
    EXPECT_FALSE(zeta->IsVisible() || dialogs.IsSelectionActive() || dialogs.HandleInput());
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

// The end-to-end dialogue run clicks choices with actions; here, a choice without one and a finish handler that
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
