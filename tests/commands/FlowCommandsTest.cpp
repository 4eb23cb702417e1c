#include "commands/ClearCommand.h"
#include "commands/GotoCommand.h"
#include "commands/IfThenElseCommand.h"
#include "commands/LaunchCommand.h"
#include "commands/SetDelayCommand.h"
#include "commands/SetInterfaceCommand.h"
#include "commands/SetMenuCommand.h"
#include "commands/SetSwapCommand.h"

#include "ProcessRecordGuard.h"
#include "TempFolder.h"
#include "core/HgeManager.h"
#include "menus/MenuManager.h"
#include "menus/MenuSwitch.h"
#include "scene/ClickGate.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

using Log = std::vector<std::u16string>;

// Logs its tag when run (and shows the interface, if named, as a scene's opening command would); reports at once
// unless told to wait forever.
struct TagCommand : Command
{
    TagCommand(Log& log, std::u16string tag, bool reports = true, std::u16string show = {})
        : m_log(log), m_tag(std::move(tag)), m_reports(reports), m_show(std::move(show))
    {
    }
    void Execute(Scene& /*scene*/) override
    {
        m_log.push_back(m_tag);
        if (!m_show.empty())
            ScenesManager::GetSingleton().LaunchInterface(m_show);
        if (m_reports)
            Complete();
    }
    Log& m_log;
    std::u16string m_tag;
    bool m_reports;
    std::u16string m_show;
};

class FlowCommandsTest : public ::testing::Test
{
protected:
    // Runs the command on its own, as a branch or an action would, and says whether it reported at once. Reports
    // are counted and their commands' descriptions logged.
    bool Run(Command& command)
    {
        const int before = m_reports;
        command.SetCompletion(Callback<void()>([this, &command] {
            ++m_reports;
            m_reported.push_back(command.GetDescription());
        }));
        command.Execute(m_scene);
        return m_reports > before;
    }
    // The branches wait forever, so a report can only come from the conditional itself.
    bool RunIf(IfThenElseCommand::Condition condition, bool withThen, bool withElse)
    {
        IfThenElseCommand command(std::move(condition),
                                  withThen ? std::make_unique<TagCommand>(m_log, u"then", false) : nullptr,
                                  withElse ? std::make_unique<TagCommand>(m_log, u"else", false) : nullptr);
        return Run(command);
    }
    void Frame(float dt, bool clicked) { m_scene.Update(dt, Scene::Mouse{10.0f, 10.0f, clicked}); }

    TestTools::ProcessRecordGuard m_records;
    TriggerManager m_triggers;
    ScenesManager m_scenes;
    Scene m_scene;
    Log m_log;
    int m_reports = 0;
    Log m_reported;
};

TEST_F(FlowCommandsTest, ConditionRunsTheBranchOfItsOutcomeAndReportsWithoutWaitingForIt)
{
    m_triggers.Set(u"a", u"1");
    m_triggers.Set(u"b", u"2");
    EXPECT_TRUE(RunIf({{u"a", u"1"}, {u"b", u"2"}}, true, true));
    EXPECT_TRUE(RunIf({{u"a", u"1"}, {u"b", u"3"}}, true, true)) << "every pair must hold";
    EXPECT_TRUE(RunIf({{u"a", u"01"}}, true, true)) << "values compare as text";
    EXPECT_TRUE(RunIf({{u"never", u""}}, true, true)) << "an unset trigger reads as empty";
    EXPECT_TRUE(RunIf({}, true, true)) << "an empty condition holds";
    EXPECT_TRUE(RunIf({{u"a", u"1"}}, false, true)) << "the else-part must not stand in for an empty then-part";
    EXPECT_TRUE(RunIf({{u"a", u"2"}}, false, true));
    EXPECT_TRUE(RunIf({{u"a", u"2"}}, true, false));
    EXPECT_EQ(m_log, (Log{u"then", u"else", u"else", u"then", u"then", u"else"}));
}

TEST_F(FlowCommandsTest, GotoStartsTheTargetAfreshAndClearsInterfacesShownBeforeTheJump)
{
    m_scenes.CreateInterfaceScene(u"hud");
    m_scenes.CreateInterfaceScene(u"menu");
    Scene* a = m_scenes.CreateScene(u"a");
    a->AddCommand(std::make_unique<TagCommand>(m_log, u"a1"));
    a->AddCommand(std::make_unique<GotoCommand>(u"b", u"s.vls", 1));
    a->AddCommand(std::make_unique<TagCommand>(m_log, u"a3"));
    m_scenes.CreateScene(u"b")->AddCommand(std::make_unique<TagCommand>(m_log, u"b1", false, u"menu"));
    m_scenes.LaunchInterface(u"hud");
    m_scenes.StartScene(u"a", SceneStart::Reset);
    EXPECT_EQ(m_scenes.GetCurrentName(), u"b");
    EXPECT_FALSE(a->IsRunning());
    EXPECT_EQ(m_log, (Log{u"a1", u"b1"})) << "nothing after the jump may run in the old scene";
    EXPECT_EQ(m_scenes.GetShownInterfaces(), std::vector<std::u16string>{u"menu"});
}

TEST_F(FlowCommandsTest, InterfacesShowOnceAgainAfterAClearAndShowingEachOtherRunsEachListOnce)
{
    m_scenes.CreateInterfaceScene(u"hud")->AddCommand(std::make_unique<TagCommand>(m_log, u"hud"));
    SetInterfaceCommand show(u"hud"), unknown(u"Hud");
    ClearCommand hide(u"hud");
    EXPECT_TRUE(Run(show));
    EXPECT_TRUE(Run(show));
    EXPECT_EQ(m_log, Log{u"hud"}) << "a shown interface is not restarted";
    Run(hide);
    EXPECT_TRUE(Run(show));
    EXPECT_EQ(m_log, (Log{u"hud", u"hud"}));
    Run(hide);
    EXPECT_TRUE(Run(unknown));
    EXPECT_TRUE(m_scenes.GetShownInterfaces().empty()) << "names are case-sensitive";

    // "loop" shows itself; "a" and "b" show each other as they start. Each is shown before it starts.
    m_log.clear();
    for (const auto& [name, shows] : {std::pair{u"loop", u"loop"}, {u"a", u"b"}, {u"b", u"a"}}) {
        Scene* scene = m_scenes.CreateInterfaceScene(name);
        scene->AddCommand(std::make_unique<SetInterfaceCommand>(shows));
        scene->AddCommand(std::make_unique<TagCommand>(m_log, name));
    }
    SetInterfaceCommand loop(u"loop"), pair(u"a");
    EXPECT_TRUE(Run(loop));
    EXPECT_TRUE(Run(pair));
    EXPECT_EQ(m_scenes.GetShownInterfaces(), (std::vector<std::u16string>{u"a", u"b", u"loop"}));
    EXPECT_EQ(m_log.size(), 3u);
}

TEST_F(FlowCommandsTest, ATargetThatCannotBeLaunchedIsLoggedAndTheStoryGoesOn)
{
    LaunchCommand option(u"-x");
    EXPECT_TRUE(Run(option)) << "without the 2D library nothing is launched";
    TestTools::TempFolder folder;
    folder.Enter();
    HgeManager manager("engine.log");
    EXPECT_TRUE(Run(option));
    EXPECT_NE(folder.Read("engine.log").find("cannot open '-x'"), std::string::npos) << folder.Read("engine.log");
}

// How sleeps end is the animators' own; here the delay reports once, in the frame that ends it, and a pause uses up
// its click. The sleeps run outside any list, so only the scene's dummy node carries them.
TEST_F(FlowCommandsTest, DelaysReportOnceAtTheirEndPausesUseUpTheClickAndSleepsDieWithTheResetScene)
{
    SetDelayCommand free(5.0f), delay(1.5f), zero(0.0f), pause(-1.0f), silenced(-1.0f);
    free.SetWait(false);
    EXPECT_TRUE(Run(free)) << "a delay nobody waits for reports at once";
    EXPECT_FALSE(Run(delay)) << "a waiting delay never reports inside Execute";
    Frame(1.0f, true);
    EXPECT_EQ(m_reports, 1) << "a click does not shorten it";
    Frame(0.5f, false);
    Frame(1.0f, false);
    EXPECT_EQ(m_reports, 2) << "it reports once";
    EXPECT_TRUE(ClickGate::Left().IsReady()) << "a timed delay consumed no click";
    EXPECT_FALSE(Run(zero)) << "a zero delay waits for the next frame";
    Frame(0.01f, false);
    EXPECT_EQ(m_reports, 3);

    EXPECT_FALSE(Run(pause));
    Frame(10.0f, false);
    Frame(0.02f, true);
    Frame(0.02f, false);
    EXPECT_EQ(m_reports, 4);
    EXPECT_FALSE(ClickGate::Left().IsReady()) << "the click that ended the pause must not act again";

    EXPECT_FALSE(Run(silenced));
    m_scene.Reset();
    ClickGate::Left().Reset();
    Frame(0.5f, true);
    Frame(0.5f, true);
    EXPECT_EQ(m_reports, 4) << "a sleep of a reset scene reported";
    EXPECT_EQ(m_scene.FindNode(std::u16string(Scene::kDummyNodeName)), nullptr);
}

TEST_F(FlowCommandsTest, MenuCommandReportsWhenItsOwnMenuClosesAndAtOnceWithoutOne)
{
    SetMenuCommand options(u"options"), sound(u"sound"), missing(u"Options"), chooser(u"choose");
    EXPECT_TRUE(Run(options)) << "a game read without menus goes on";
    MenuManager menus;
    ASSERT_TRUE(menus.CreateMenu(u"options") != nullptr && menus.CreateMenu(u"sound") != nullptr);
    menus.CreateSwitch(u"choose")->SetDefault(u"sound");
    EXPECT_FALSE(Run(options));
    EXPECT_FALSE(Run(sound));
    menus.Back();
    EXPECT_EQ(m_reported.back(), u"Menu-sound") << "closing the second menu reports only its own command";
    menus.Back();
    EXPECT_TRUE(Run(missing)) << "names are case-sensitive; a missing menu lets the story go on";
    EXPECT_TRUE(menus.GetStack().empty());
    EXPECT_FALSE(Run(chooser));
    EXPECT_EQ(menus.CurrentMenuName(), u"sound");
    menus.Back();
    Run(*std::make_unique<SetMenuCommand>(u"options")); // gone before its menu closes: never called
    menus.Back();
    EXPECT_EQ(m_reported, (Log{u"Menu-options", u"Menu-sound", u"Menu-options", u"Menu-Options", u"Menu-choose"}));
    EXPECT_TRUE(menus.GetStack().empty());
}

TEST_F(FlowCommandsTest, SwapPairsTheNodesWithTheSecondHiddenAndAMissingNodeChangesNothing)
{
    // Still pending additions, as right after the node commands of the same statement.
    SceneNode* first = m_scene.CreateNode(u"door", 1, u"");
    SceneNode* second = m_scene.CreateNode(u"door_lit", 1, u"");
    first->Hide();
    SetSwapCommand ghost(u"door", u"ghost"), unknown(u"ghost", u"door_lit"), unnamed(u"", u"door_lit"),
        swap(u"door", u"door_lit");
    EXPECT_TRUE(Run(ghost) && Run(unknown) && Run(unnamed));
    EXPECT_EQ(first->GetHoverTarget(), nullptr);
    EXPECT_EQ(second->GetLeaveTarget(), nullptr);
    EXPECT_FALSE(first->IsVisible()) << "the first node is not shown without a partner";
    EXPECT_TRUE(second->IsVisible());

    ASSERT_TRUE(Run(swap));
    EXPECT_EQ(std::vector({first->GetHoverTarget(), second->GetLeaveTarget(), first->GetLeaveTarget()}),
              std::vector<InputObject*>({second, first, nullptr}));
    EXPECT_TRUE(first->IsVisible());
    EXPECT_FALSE(second->IsVisible());
}

} // namespace
} // namespace Vel
