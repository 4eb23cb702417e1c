#include "commands/SetMenuCommand.h"
#include "commands/SetSwapCommand.h"

#include "menus/Menu.h"
#include "menus/MenuManager.h"
#include "menus/MenuSwitch.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

#include <gtest/gtest.h>

#include <memory>

namespace Vel {
namespace {

// Starts the command as a scene would; reported turns true when it reports.
void Start(Command& command, Scene& scene, bool& reported)
{
    reported = false;
    command.SetCompletion(Callback<void()>([&reported] { reported = true; }));
    command.Execute(scene);
}

TEST(MenuCommandsTest, MenuCommandReportsWhenItsOwnMenuClosesAndAtOnceWithoutOne)
{
    Scene story;
    bool reported = false;
    SetMenuCommand options(u"options");
    Start(options, story, reported);
    EXPECT_TRUE(reported) << "a game read without menus goes on";

    MenuManager menus;
    ASSERT_NE(menus.CreateMenu(u"options"), nullptr);
    ASSERT_NE(menus.CreateMenu(u"sound"), nullptr);
    Start(options, story, reported);
    EXPECT_FALSE(reported);
    EXPECT_EQ(menus.CurrentMenuName(), u"options");

    // A second menu over the first: closing it reports only its own command.
    SetMenuCommand sound(u"sound");
    bool soundReported = false;
    Start(sound, story, soundReported);
    menus.Back();
    EXPECT_TRUE(soundReported);
    EXPECT_FALSE(reported);
    menus.Back();
    EXPECT_TRUE(reported);

    SetMenuCommand missing(u"Options");
    Start(missing, story, reported);
    EXPECT_TRUE(reported) << "names are case-sensitive; a missing menu lets the story go on";
    EXPECT_TRUE(menus.GetStack().empty());

    menus.CreateSwitch(u"choose")->SetDefault(u"sound");
    SetMenuCommand switched(u"choose");
    Start(switched, story, reported);
    EXPECT_EQ(menus.CurrentMenuName(), u"sound");
    menus.Back();
    EXPECT_TRUE(reported);

    // A command gone before its menu closes is not called.
    int reports = 0;
    {
        SetMenuCommand gone(u"options");
        gone.SetCompletion(Callback<void()>([&reports] { ++reports; }));
        gone.Execute(story);
    }
    menus.Back();
    EXPECT_EQ(reports, 0);
    EXPECT_TRUE(menus.GetStack().empty());
}

TEST(SwapCommandTest, PairsTheNodesWithTheSecondHiddenAndAMissingNodeChangesNothing)
{
    // Still pending additions, as right after the node commands of the same statement.
    Scene scene;
    SceneNode* first = scene.CreateNode(u"door", 1, u"");
    SceneNode* second = scene.CreateNode(u"door_lit", 1, u"");
    first->Hide();
    const auto run = [&scene](const std::u16string& a, const std::u16string& b) {
        SetSwapCommand swap(a, b);
        bool reported = false;
        Start(swap, scene, reported);
        return reported;
    };
    EXPECT_TRUE(run(u"door", u"ghost"));
    EXPECT_EQ(first->GetHoverTarget(), nullptr);
    EXPECT_FALSE(first->IsVisible()) << "the first node is not shown without a partner";
    EXPECT_TRUE(run(u"ghost", u"door_lit"));
    EXPECT_TRUE(run(u"", u"door_lit"));
    EXPECT_EQ(second->GetLeaveTarget(), nullptr);
    EXPECT_TRUE(second->IsVisible());

    ASSERT_TRUE(run(u"door", u"door_lit"));
    EXPECT_EQ(first->GetHoverTarget(), second);
    EXPECT_EQ(second->GetLeaveTarget(), first);
    EXPECT_EQ(first->GetLeaveTarget(), nullptr);
    EXPECT_TRUE(first->IsVisible());
    EXPECT_FALSE(second->IsVisible());
}

} // namespace
} // namespace Vel
