#include "menus/Menu.h"
#include "ReplayLoop.h"

#include "HeadlessHge.h"
#include "MenuTestTools.h"
#include "TempFolder.h"

#include "app/DisplaySettings.h"
#include "app/HgeManager.h"
#include "platform/InputScript.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "scene/Action.h"
#include "scene/ClickGate.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace Vel {
namespace {

using TestTools::Log;
using TestTools::RecordingCommand;
using Ends = RecordingCommand::Ends;

class CountingAction : public Action
{
public:
    explicit CountingAction(int& runs) : m_runs(runs) {}

private:
    void Perform() override { ++m_runs; }
    int& m_runs;
};

TEST(MenuTest, ButtonsAreAHotRectangleAndAFullScreenSwapPictureThatCarriesTheAction)
{
    Menu menu(u"main");
    EXPECT_EQ(menu.GetName(), u"main");
    menu.SetBackground(u"bg");
    SceneNode* background = menu.GetBackground();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(menu.GetScene().FindNode(u"background"), background);
    EXPECT_EQ(background->GetLayer(), 0);
    EXPECT_EQ(background->GetDrawX(), 0.0f);
    EXPECT_EQ(background->GetDrawY(), 0.0f);
    EXPECT_EQ(background->GetX(), -999999.0f) << "far off screen, never under the mouse";
    menu.SetBackground(u"other");
    EXPECT_EQ(menu.GetBackground(), background) << "a second background replaces the picture, not the node";

    int runs = 0;
    auto action = std::make_shared<CountingAction>(runs);
    menu.AddButton(u"one", 0, 0, 10, 10, nullptr);
    menu.AddButton(u"two", 0, 20, 10, 10, nullptr);
    menu.AddButton(u"three", 30, 40, 50, 60, action);
    Scene& scene = menu.GetScene();
    SceneNode* hot = scene.FindNode(u"button3");
    SceneNode* swap = scene.FindNode(u"button3swap");
    ASSERT_NE(hot, nullptr);
    ASSERT_NE(swap, nullptr);
    EXPECT_EQ(scene.FindNode(u"button4"), nullptr);
    for (SceneNode* node : {hot, swap}) {
        EXPECT_EQ(node->GetLayer(), 1);
        EXPECT_EQ(node->GetX(), 30.0f);
        EXPECT_EQ(node->GetY(), 40.0f);
        EXPECT_EQ(node->GetHitWidth(), 50.0f);
        EXPECT_EQ(node->GetHitHeight(), 60.0f);
    }
    EXPECT_TRUE(hot->IsVisible());
    EXPECT_EQ(hot->GetResource(), nullptr);
    EXPECT_EQ(hot->GetAction(), nullptr);
    EXPECT_EQ(hot->GetHoverTarget(), swap);
    EXPECT_FALSE(swap->IsVisible());
    EXPECT_EQ(swap->GetLeaveTarget(), hot);
    EXPECT_EQ(swap->GetDrawX(), 0.0f);
    EXPECT_EQ(swap->GetDrawY(), 0.0f);
    EXPECT_EQ(swap->GetAction(), action);
}

TEST(MenuTest, MenuOnAndMenuOffSplitTheBlockIntoInitOnAndOffLists)
{
    Log log;
    int destroyed = 0;
    {
        Menu menu(u"options");
        menu.AddCommand(RecordingCommand::Make(log, "init1", destroyed));
        menu.AddCommand(RecordingCommand::Make(log, "init2", destroyed));
        menu.CloseInit();
        EXPECT_EQ(log, (Log{"init1", "init2"})) << "init runs at menu_on, while the script is read";
        EXPECT_TRUE(menu.GetScene().GetCommands().empty());
        menu.AddCommand(RecordingCommand::Make(log, "on", destroyed));
        menu.CloseOn();
        menu.AddCommand(RecordingCommand::Make(log, "off", destroyed));
        EXPECT_EQ(menu.GetOnCommands().size(), 1u);
        EXPECT_TRUE(menu.GetOffCommands().empty()) << "sorted at the first showing";

        log.clear();
        menu.Show({});
        EXPECT_EQ(log, Log{"on"});
        EXPECT_EQ(menu.GetInitCommands().size(), 2u);
        EXPECT_EQ(menu.GetOffCommands().size(), 1u);
        EXPECT_TRUE(menu.GetScene().GetCommands().empty()) << "the finished on list is emptied";
        menu.Hide();
        menu.Show({});
        EXPECT_EQ(log, (Log{"on", "off", "on"})) << "init never runs again";
    }
    EXPECT_EQ(destroyed, 4);

    // menu_on without menu_off: the rest is both the on and the off list.
    log.clear();
    destroyed = 0;
    {
        Menu menu(u"half");
        menu.AddCommand(RecordingCommand::Make(log, "init", destroyed));
        menu.CloseInit();
        menu.AddCommand(RecordingCommand::Make(log, "rest", destroyed));
        menu.Show({});
        menu.Hide();
        EXPECT_EQ(log, (Log{"init", "rest", "rest"}));
        EXPECT_EQ(menu.GetOnCommands(), menu.GetOffCommands());
    }
    EXPECT_EQ(destroyed, 2);
}

TEST(MenuTest, AnEmptyListTheScriptClosedStaysEmpty)
{
    Log log;
    int destroyed = 0;
    Menu onlyOff(u"only off");
    onlyOff.CloseInit();
    onlyOff.CloseOn();
    onlyOff.AddCommand(RecordingCommand::Make(log, "fade out", destroyed));
    onlyOff.Show({});
    EXPECT_EQ(log, Log{}) << "neither init nor on";
    onlyOff.Hide();
    EXPECT_EQ(log, Log{"fade out"});

    log.clear();
    Menu noMenuOn(u"no menu_on");
    noMenuOn.AddCommand(RecordingCommand::Make(log, "fade in", destroyed));
    noMenuOn.CloseOn();
    noMenuOn.AddCommand(RecordingCommand::Make(log, "fade out", destroyed));
    noMenuOn.Show({});
    EXPECT_EQ(log, Log{"fade in"}) << "the off commands are not an init list";
    EXPECT_TRUE(noMenuOn.GetInitCommands().empty());
    noMenuOn.Hide();
    EXPECT_EQ(log, (Log{"fade in", "fade out"}));
}

TEST(MenuTest, ABlockWithoutMenuOnRunsOnceAsInitAndServesAsOnAndOffListOwnedOnce)
{
    Log log;
    int destroyed = 0;
    {
        Menu menu(u"plain");
        menu.AddCommand(RecordingCommand::Make(log, "a", destroyed));
        menu.AddCommand(RecordingCommand::Make(log, "b", destroyed));
        menu.Show({});
        EXPECT_EQ(log, (Log{"a", "b", "a", "b"})) << "init first, then the on list";
        EXPECT_EQ(menu.GetInitCommands().size(), 2u);
        EXPECT_EQ(menu.GetInitCommands(), menu.GetOnCommands());
        EXPECT_EQ(menu.GetOnCommands(), menu.GetOffCommands());
        menu.Hide();
        menu.Show({});
        EXPECT_EQ(log, (Log{"a", "b", "a", "b", "a", "b", "a", "b"}));
    }
    EXPECT_EQ(destroyed, 2) << "each shared command is destroyed exactly once";

    destroyed = 0;
    {
        Menu unshown(u"unshown");
        unshown.AddCommand(RecordingCommand::Make(log, "never", destroyed));
    }
    EXPECT_EQ(destroyed, 1) << "commands still in the scene go with the menu";
}

TEST(MenuTest, AnOnListThatWaitsKeepsRunningAndHidingReplacesItWithTheOffList)
{
    Log log;
    int destroyed = 0;
    Menu menu(u"fading");
    auto fadeIn = RecordingCommand::Make(log, "fade in", destroyed, Ends::WhenFinished);
    RecordingCommand* fadeInPtr = fadeIn.get();
    menu.AddCommand(std::move(fadeIn));
    menu.AddCommand(RecordingCommand::Make(log, "after fade in", destroyed));
    menu.CloseInit();
    menu.AddCommand(RecordingCommand::Make(log, "on", destroyed));
    menu.CloseOn();
    auto fadeOut = RecordingCommand::Make(log, "fade out", destroyed, Ends::WhenFinished);
    RecordingCommand* fadeOutPtr = fadeOut.get();
    menu.AddCommand(std::move(fadeOut));
    menu.AddCommand(RecordingCommand::Make(log, "after fade out", destroyed));
    EXPECT_EQ(log, (Log{"fade in", "after fade in"})) << "init commands report into nothing";
    fadeInPtr->Finish();

    log.clear();
    menu.Show({});
    menu.Hide();
    EXPECT_EQ(log, (Log{"on", "fade out"}));
    EXPECT_TRUE(menu.GetScene().IsRunning());
    EXPECT_EQ(menu.GetScene().GetCommands().size(), 2u) << "the off list runs while the fade goes on";
    fadeOutPtr->Finish();
    EXPECT_EQ(log, (Log{"on", "fade out", "after fade out"}));
    EXPECT_TRUE(menu.GetScene().GetCommands().empty());
}

// Replayed mouse input on a 640 x 480 window showing a 640 x 480 game.
class MenuInputTest : public TestTools::InputTest
{
protected:
    // The headless interface with the replay, before anything takes a reference on it.
    void Prepare(const std::string& replay, int frames)
    {
        m_hge.emplace(TestTools::ReplayOptions(replay, frames), 640, 480);
        m_manager.emplace(m_folder.File("engine.log"));
        ASSERT_TRUE((*m_hge)->System_Initiate());
    }

    // Runs the frames as the menu manager runs its top menu; afterFrame sees each frame's result.
    void Run(Menu& menu, const std::function<void()>& afterFrame)
    {
        TestTools::RunFrames(m_hge->Get(), [&] {
            menu.Update(1.0f / 60.0f);
            afterFrame();
            ClickGate::Left().Advance(1.0f / 60.0f);
        });
    }

    std::optional<TestTools::HeadlessHge> m_hge;
    std::optional<HgeManager> m_manager;
};

TEST_F(MenuInputTest, TheBackgroundGivesWayToAButtonsSwapPictureWhileTheMouseIsOverIt)
{
    Prepare("1 move 110 110\n3 move 400 400\n5 move 149 139\n6 click 149 139\n8 leave\n", 8);
    ResourceManager resources;
    Resource* highlight = resources.GetSprite(u"highlight");
    Menu menu(u"main");
    menu.SetBackground(u"plain");
    EXPECT_EQ(menu.GetBackground()->GetResource(), resources.FindResource(u"plain"));
    int runs = 0;
    menu.AddButton(u"highlight", 100, 100, 50, 40, std::make_shared<CountingAction>(runs));
    SceneNode* hot = menu.GetScene().FindNode(u"button1");
    SceneNode* swap = menu.GetScene().FindNode(u"button1swap");
    ASSERT_NE(swap, nullptr);
    EXPECT_EQ(swap->GetResource(), highlight);

    // Each frame: background, hot rectangle, swap picture visible; and the action's runs.
    std::vector<std::string> frames;
    Run(menu, [&] {
        std::string frame;
        for (const SceneNode* node : std::vector<const SceneNode*>{menu.GetBackground(), hot, swap})
            frame += node->IsVisible() ? '+' : '-';
        frames.push_back(frame + std::to_string(runs));
    });
    const std::vector<std::string> expected = {
        "--+0", "--+0", // over the button: the highlight replaces the background
        "++-0", "++-0", // moved off: back to the background
        "--+0",         // the button's last pixel
        "--+1", "--+1", // the click runs the action once
        "++-1",         // the mouse left the window
    };
    EXPECT_EQ(frames, expected);
}

} // namespace
} // namespace Vel
