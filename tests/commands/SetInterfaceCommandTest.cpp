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

TEST(SetInterfaceCommandTest, ShowsOnceAgainAfterClearAndSelfOrMutualShowsRunListsOnce)
{
    ScenesManager scenes;
    Scene story;
    int starts = 0;
    scenes.CreateInterfaceScene(u"hud")->AddCommand(std::make_unique<CountCommand>(starts));
    SetInterfaceCommand show(u"hud");
    EXPECT_TRUE(RunFrom(show, story));
    EXPECT_TRUE(RunFrom(show, story));
    EXPECT_EQ(scenes.GetShownInterfaces(), Names{u"hud"});
    EXPECT_EQ(starts, 1) << "a shown interface is not restarted";
    ClearCommand hide(u"hud");
    RunFrom(hide, story);
    EXPECT_TRUE(scenes.GetShownInterfaces().empty());
    EXPECT_TRUE(RunFrom(show, story));
    EXPECT_EQ(starts, 2);
    RunFrom(hide, story);
    SetInterfaceCommand unknown(u"Hud");
    EXPECT_TRUE(RunFrom(unknown, story));
    EXPECT_TRUE(scenes.GetShownInterfaces().empty()) << "names are case-sensitive";

    // "loop" shows itself; "a" and "b" show each other as they start. Each is shown before it starts.
    starts = 0;
    const std::pair<std::u16string, std::u16string> links[] = {{u"loop", u"loop"}, {u"a", u"b"}, {u"b", u"a"}};
    for (const auto& [name, shows] : links) {
        Scene* scene = scenes.CreateInterfaceScene(name);
        scene->AddCommand(std::make_unique<SetInterfaceCommand>(shows));
        scene->AddCommand(std::make_unique<CountCommand>(starts));
    }
    SetInterfaceCommand loop(u"loop");
    SetInterfaceCommand pair(u"a");
    EXPECT_TRUE(RunFrom(loop, story));
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(RunFrom(pair, story));
    EXPECT_EQ(scenes.GetShownInterfaces(), (Names{u"a", u"b", u"loop"}));
    EXPECT_EQ(starts, 3);
}

} // namespace
} // namespace Vel
