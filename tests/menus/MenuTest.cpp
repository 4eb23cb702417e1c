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

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace Vel {
namespace {

using TestTools::AddTo;
using TestTools::Log;
using TestTools::RecordingCommand;
using Ends = RecordingCommand::Ends;

// menu_on ("|init") and menu_off ("|on") split the block; each case is shown, hidden and shown again.
TEST(MenuTest, MenuOnAndMenuOffSplitTheBlockIntoInitOnAndOffListsEachOwnedOnce)
{
    // The script, the commands' runs, and how many commands there were.
    const std::tuple<std::vector<std::string>, Log, int> cases[] = {
        {{"i1", "i2", "|init", "on", "|on", "off"}, {"i1", "i2", "on", "off", "on"}, 4},
        {{"init", "|init", "rest"}, {"init", "rest", "rest", "rest"}, 2}, // rest is both on and off
        {{"|init", "|on", "off"}, {"off"}, 1},
        {{"in", "|on", "out"}, {"in", "out", "in"}, 2},            // the off commands are not an init list
        {{"a", "b"}, {"a", "b", "a", "b", "a", "b", "a", "b"}, 2}, // init once, then on and off alike
    };
    for (const auto& [script, expected, commands] : cases) {
        Log log;
        int destroyed = 0;
        {
            Menu menu(u"m");
            for (const std::string& step : script) {
                if (step == "|init")
                    menu.CloseInit();
                else if (step == "|on")
                    menu.CloseOn();
                else
                    AddTo(menu, log, step, destroyed);
            }
            menu.Show({});
            menu.Hide();
            menu.Show({});
            EXPECT_EQ(log, expected) << script.front();
        }
        EXPECT_EQ(destroyed, commands) << script.front();
    }

    int destroyed = 0;
    Log log;
    {
        Menu unshown(u"unshown");
        AddTo(unshown, log, "never", destroyed);
    }
    EXPECT_EQ(destroyed, 1) << "commands still in the scene go with the menu";
}

TEST(MenuTest, AnOnListThatWaitsKeepsRunningAndHidingReplacesItWithTheOffList)
{
    Log log;
    int destroyed = 0;
    Menu menu(u"fading");
    RecordingCommand* fadeIn = AddTo(menu, log, "fade in", destroyed, Ends::WhenFinished);
    AddTo(menu, log, "after fade in", destroyed);
    menu.CloseInit();
    AddTo(menu, log, "on", destroyed);
    menu.CloseOn();
    RecordingCommand* fadeOut = AddTo(menu, log, "fade out", destroyed, Ends::WhenFinished);
    AddTo(menu, log, "after fade out", destroyed);
    EXPECT_EQ(log, (Log{"fade in", "after fade in"})) << "init runs at menu_on and reports into nothing";
    fadeIn->Finish();

    log.clear();
    menu.Show({});
    menu.Hide();
    EXPECT_EQ(log, (Log{"on", "fade out"}));
    EXPECT_TRUE(menu.GetScene().IsRunning());
    EXPECT_EQ(menu.GetScene().GetCommands().size(), 2u) << "the off list replaced the finished on list";
    fadeOut->Finish();
    EXPECT_EQ(log, (Log{"on", "fade out", "after fade out"}));
    EXPECT_TRUE(menu.GetScene().GetCommands().empty());
}

// Replayed mouse input on a 640 x 480 window showing a 640 x 480 game.
using MenuInputTest = TestTools::InputTest;

TEST_F(MenuInputTest, TheBackgroundGivesWayToAButtonsSwapPictureWhileTheMouseIsOverIt)
{
    const std::string replay = "1 move 110 110\n3 move 400 400\n5 move 149 139\n6 click 149 139\n8 leave\n";
    TestTools::HeadlessHge hge(TestTools::ReplayOptions(replay, 8), 640, 480);
    HgeManager manager(m_folder.File("engine.log"));
    ASSERT_TRUE(hge->System_Initiate());
    ResourceManager resources;
    Resource* highlight = resources.GetSprite(u"highlight");
    Menu menu(u"main");
    menu.SetBackground(u"first");
    SceneNode* background = menu.GetBackground();
    menu.SetBackground(u"plain");
    EXPECT_EQ(menu.GetBackground(), background) << "a second background replaces the picture, not the node";
    EXPECT_EQ(background->GetResource(), resources.FindResource(u"plain"));
    int runs = 0;
    menu.AddButton(u"highlight", 100, 100, 50, 40,
                   std::make_shared<RunFunctionAction>(Callback<void()>([&runs] { ++runs; })));
    SceneNode* hot = menu.GetScene().FindNode(u"button1");
    SceneNode* swap = menu.GetScene().FindNode(u"button1swap");
    ASSERT_NE(swap, nullptr);
    EXPECT_EQ(swap->GetResource(), highlight);

    // Each frame: background, hot rectangle, swap picture visible; and the action's runs.
    std::vector<std::string> frames;
    TestTools::RunFrames(hge.Get(), [&] {
        menu.Update(1.0f / 60.0f);
        std::string frame;
        for (const SceneNode* node : {background, hot, swap})
            frame += node->IsVisible() ? '+' : '-';
        frames.push_back(frame + std::to_string(runs));
        ClickGate::Left().Advance(1.0f / 60.0f);
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
