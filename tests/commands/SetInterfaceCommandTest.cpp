#include "commands/SetInterfaceCommand.h"
#include "commands/ClearCommand.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

using Names = std::vector<std::u16string>;

// Counts the starts of the interface whose list holds it.
struct CountCommand : Command
{
    explicit CountCommand(int& starts) : m_starts(starts) {}
    void Execute(Scene& /*scene*/) override
    {
        ++m_starts;
        Complete();
    }
    int& m_starts;
};

// Runs the command from the story scene; whether it reported at once.
bool RunFrom(Command& command, Scene& story)
{
    bool reported = false;
    command.SetCompletion(Callback<void()>([&reported] { reported = true; }));
    command.Execute(story);
    return reported;
}

TEST(SetInterfaceCommandTest, ShowsTheInterfaceOnceAndAgainAfterItWasCleared)
{
    ScenesManager scenes;
    Scene story;
    int starts = 0;
    scenes.CreateInterfaceScene(u"hud")->AddCommand(std::make_unique<CountCommand>(starts));
    SetInterfaceCommand show(u"hud");
    EXPECT_EQ(show.GetDescription(), u"Set interface-hud");
    EXPECT_TRUE(RunFrom(show, story));
    EXPECT_TRUE(RunFrom(show, story));
    EXPECT_EQ(scenes.GetShownInterfaces(), Names{u"hud"});
    EXPECT_EQ(starts, 1) << "a shown interface is not restarted";

    ClearCommand hide(u"hud");
    RunFrom(hide, story);
    EXPECT_TRUE(scenes.GetShownInterfaces().empty());
    EXPECT_TRUE(RunFrom(show, story));
    EXPECT_EQ(starts, 2);

    // Names are case-sensitive; an unknown one reports without effect.
    SetInterfaceCommand unknown(u"Hud");
    RunFrom(hide, story);
    EXPECT_TRUE(RunFrom(unknown, story));
    EXPECT_TRUE(scenes.GetShownInterfaces().empty());
}

TEST(SetInterfaceCommandTest, InterfacesShowingThemselvesOrEachOtherRunTheirListsOnce)
{
    ScenesManager scenes;
    Scene story;
    int starts = 0;
    Scene* loop = scenes.CreateInterfaceScene(u"loop");
    loop->AddCommand(std::make_unique<SetInterfaceCommand>(u"loop"));
    loop->AddCommand(std::make_unique<CountCommand>(starts));
    SetInterfaceCommand show(u"loop");
    EXPECT_TRUE(RunFrom(show, story));
    EXPECT_EQ(scenes.GetShownInterfaces(), Names{u"loop"});
    EXPECT_EQ(starts, 1);

    // Two interfaces that show each other as they start: each is shown before it starts, so neither restarts.
    int pairStarts = 0;
    Scene* first = scenes.CreateInterfaceScene(u"a");
    first->AddCommand(std::make_unique<SetInterfaceCommand>(u"b"));
    first->AddCommand(std::make_unique<CountCommand>(pairStarts));
    Scene* second = scenes.CreateInterfaceScene(u"b");
    second->AddCommand(std::make_unique<SetInterfaceCommand>(u"a"));
    second->AddCommand(std::make_unique<CountCommand>(pairStarts));
    SetInterfaceCommand showPair(u"a");
    EXPECT_TRUE(RunFrom(showPair, story));
    EXPECT_EQ(scenes.GetShownInterfaces(), (Names{u"a", u"b", u"loop"}));
    EXPECT_EQ(pairStarts, 2);
}

} // namespace
} // namespace Vel
