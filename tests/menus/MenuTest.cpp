#include "menus/Menu.h"
#include "ReplayLoop.h"

#include "HeadlessHge.h"
#include "MenuTestTools.h"
#include "TempFolder.h"

#include "core/HgeManager.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "scene/Action.h"
#include "scene/ClickGate.h"
#include "scene/RunFunctionAction.h"
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

std::shared_ptr<Action> Counting(int& runs)
{
    return std::make_shared<RunFunctionAction>(Callback<void()>([&runs] { ++runs; }));
}

// The hover links are left to the replayed input below; here, where the nodes are.
TEST(MenuTest, TheBackgroundIsOneFarOffNodeAndAButtonIsAHotRectangleWithASwapPictureOfItsSize)
{
    Menu menu(u"main");
    menu.SetBackground(u"bg");
    SceneNode* background = menu.GetBackground();
    ASSERT_NE(background, nullptr);
    EXPECT_EQ(background->GetX(), -999999.0f) << "far off screen, never under the mouse";
    menu.SetBackground(u"other");
    EXPECT_EQ(menu.GetBackground(), background) << "a second background replaces the picture, not the node";

    menu.AddButton(u"one", 0, 0, 10, 10, nullptr);
    menu.AddButton(u"two", 30, 40, 50, 60, nullptr);
    for (const char16_t* name : {u"button2", u"button2swap"}) {
        const SceneNode* node = menu.GetScene().FindNode(name);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ((std::vector<float>{node->GetX(), node->GetY(), node->GetHitWidth(), node->GetHitHeight()}),
                  (std::vector<float>{30, 40, 50, 60}));
    }
}

// menu_on ("|init") and menu_off ("|on") split the block; each case is shown, hidden and shown again.
TEST(MenuTest, MenuOnAndMenuOffSplitTheBlockIntoInitOnAndOffListsEachOwnedOnce)
{
    struct Case
    {
        std::vector<std::string> script;
        Log expected;
        int commands;
    };
    const std::vector<Case> cases = {
        {{"i1", "i2", "|init", "on", "|on", "off"}, {"i1", "i2", "on", "off", "on"}, 4},
        {{"init", "|init", "rest"}, {"init", "rest", "rest", "rest"}, 2}, // rest is both on and off
        {{"|init", "|on", "off"}, {"off"}, 1},
        {{"in", "|on", "out"}, {"in", "out", "in"}, 2},            // the off commands are not an init list
        {{"a", "b"}, {"a", "b", "a", "b", "a", "b", "a", "b"}, 2}, // init once, then on and off alike
    };
    for (const Case& c : cases) {
        Log log;
        int destroyed = 0;
        {
            Menu menu(u"m");
            for (const std::string& step : c.script) {
                if (step == "|init")
                    menu.CloseInit();
                else if (step == "|on")
                    menu.CloseOn();
                else
                    menu.AddCommand(RecordingCommand::Make(log, step, destroyed));
            }
            menu.Show({});
            menu.Hide();
            menu.Show({});
            EXPECT_EQ(log, c.expected) << c.script.front();
        }
        EXPECT_EQ(destroyed, c.commands) << c.script.front();
    }

    int destroyed = 0;
    Log log;
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
    EXPECT_EQ(log, (Log{"fade in", "after fade in"})) << "init runs at menu_on and reports into nothing";
    fadeInPtr->Finish();

    log.clear();
    menu.Show({});
    menu.Hide();
    EXPECT_EQ(log, (Log{"on", "fade out"}));
    EXPECT_TRUE(menu.GetScene().IsRunning());
    EXPECT_EQ(menu.GetScene().GetCommands().size(), 2u) << "the off list replaced the finished on list";
    fadeOutPtr->Finish();
    EXPECT_EQ(log, (Log{"on", "fade out", "after fade out"}));
    EXPECT_TRUE(menu.GetScene().GetCommands().empty());
}

// Replayed mouse input on a 640 x 480 window showing a 640 x 480 game.
class MenuInputTest : public TestTools::InputTest
{
protected:
    void Prepare(const std::string& replay, int frames)
    {
        m_hge.emplace(TestTools::ReplayOptions(replay, frames), 640, 480);
        m_manager.emplace(m_folder.File("engine.log"));
        ASSERT_TRUE((*m_hge)->System_Initiate());
    }

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
    menu.AddButton(u"highlight", 100, 100, 50, 40, Counting(runs));
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
