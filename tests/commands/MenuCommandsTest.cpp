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
    EXPECT_EQ(options.GetDescription(), u"Menu-options");
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
    EXPECT_TRUE(menus.GetStack().empty());

    SetMenuCommand missing(u"Options");
    Start(missing, story, reported);
    EXPECT_TRUE(reported) << "names are case-sensitive; a missing menu lets the story go on";
    EXPECT_TRUE(menus.GetStack().empty());

    MenuSwitch* chooser = menus.CreateSwitch(u"choose");
    ASSERT_NE(chooser, nullptr);
    chooser->SetDefault(u"sound");
    SetMenuCommand switched(u"choose");
    Start(switched, story, reported);
    EXPECT_EQ(menus.CurrentMenuName(), u"sound");
    menus.Back();
    EXPECT_TRUE(reported);
}

TEST(MenuCommandsTest, MenuCommandGoneBeforeItsMenuClosesIsNotCalled)
{
    Scene story;
    MenuManager menus;
    ASSERT_NE(menus.CreateMenu(u"options"), nullptr);
    int reports = 0;
    {
        SetMenuCommand options(u"options");
        options.SetCompletion(Callback<void()>([&reports] { ++reports; }));
        options.Execute(story);
    }
    menus.Back();
    EXPECT_EQ(reports, 0);
    EXPECT_TRUE(menus.GetStack().empty());
}

class SwapCommandTest : public ::testing::Test
{
protected:
    SwapCommandTest()
    {
        // Still pending additions, as right after the node commands of the same statement.
        m_first = m_scene.CreateNode(u"door", 1, u"");
        m_second = m_scene.CreateNode(u"door_lit", 1, u"");
        m_first->SetHitSize(10.0f, 10.0f);
        m_second->SetHitSize(10.0f, 10.0f);
        m_first->Hide();
    }

    bool Run(const std::u16string& first, const std::u16string& second)
    {
        SetSwapCommand swap(first, second);
        bool reported = false;
        Start(swap, m_scene, reported);
        return reported;
    }

    Scene m_scene;
    SceneNode* m_first = nullptr;
    SceneNode* m_second = nullptr;
};

TEST_F(SwapCommandTest, PairsTheNodesWithTheSecondHiddenAndTheFirstShown)
{
    EXPECT_EQ(SetSwapCommand(u"a", u"b").GetDescription(), u"Set swap");
    ASSERT_TRUE(Run(u"door", u"door_lit"));
    EXPECT_EQ(m_first->GetHoverTarget(), m_second);
    EXPECT_EQ(m_second->GetLeaveTarget(), m_first);
    EXPECT_EQ(m_first->GetLeaveTarget(), nullptr);
    EXPECT_EQ(m_second->GetHoverTarget(), nullptr);
    EXPECT_TRUE(m_first->IsVisible());
    EXPECT_FALSE(m_second->IsVisible());

    // The mouse over the first shows the second in its place.
    EXPECT_TRUE(m_first->TestMouse(5.0f, 5.0f, false));
    EXPECT_FALSE(m_first->IsVisible());
    EXPECT_TRUE(m_second->IsVisible());
}

TEST_F(SwapCommandTest, AMissingNodeChangesNothingAndReports)
{
    EXPECT_TRUE(Run(u"door", u"ghost"));
    EXPECT_EQ(m_first->GetHoverTarget(), nullptr);
    EXPECT_FALSE(m_first->IsVisible()) << "the first node is not shown without a partner";

    EXPECT_TRUE(Run(u"ghost", u"door_lit"));
    EXPECT_EQ(m_second->GetLeaveTarget(), nullptr);
    EXPECT_TRUE(m_second->IsVisible());

    EXPECT_TRUE(Run(u"", u"door_lit"));
    EXPECT_TRUE(m_second->IsVisible());
}

} // namespace
} // namespace Vel
