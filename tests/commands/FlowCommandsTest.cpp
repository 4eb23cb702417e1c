#include "commands/EnableRightClickCommand.h"
#include "commands/GotoCommand.h"
#include "commands/IfThenElseCommand.h"
#include "commands/LaunchCommand.h"
#include "commands/SetTriggerCommand.h"

#include "TempFolder.h"
#include "app/HgeManager.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

using Log = std::vector<std::u16string>;

// Logs its tag when run; reports at once unless told to wait forever.
class TagCommand : public Command
{
public:
    TagCommand(Log& log, std::u16string tag, bool reports = true)
        : m_log(log), m_tag(std::move(tag)), m_reports(reports)
    {
    }
    void Execute(Scene& /*scene*/) override
    {
        m_log.push_back(m_tag);
        if (m_reports)
            Complete();
    }

private:
    Log& m_log;
    std::u16string m_tag;
    bool m_reports;
};

// Shows an interface scene when run, as a scene's opening command would.
class ShowInterfaceCommand : public Command
{
public:
    explicit ShowInterfaceCommand(std::u16string name) : m_name(std::move(name)) {}
    void Execute(Scene& /*scene*/) override
    {
        ScenesManager::GetSingleton().LaunchInterface(m_name);
        Complete();
    }

private:
    std::u16string m_name;
};

class FlowCommandsTest : public ::testing::Test
{
protected:
    // Runs the command on its own, as a branch or an action would, and says whether it reported.
    bool Run(Command& command)
    {
        bool reported = false;
        command.SetCompletion(Callback<void()>([&reported] { reported = true; }));
        command.Execute(m_scene);
        return reported;
    }

    std::unique_ptr<IfThenElseCommand> MakeCondition(IfThenElseCommand::Condition condition, bool withThen,
                                                     bool withElse)
    {
        return std::make_unique<IfThenElseCommand>(
            std::move(condition), withThen ? std::make_unique<TagCommand>(m_log, u"then", false) : nullptr,
            withElse ? std::make_unique<TagCommand>(m_log, u"else", false) : nullptr);
    }

    TriggerManager m_triggers;
    ScenesManager m_scenes;
    Scene m_scene;
    Log m_log;
};

TEST_F(FlowCommandsTest, ConditionRunsTheBranchOfItsOutcomeAndReportsWithoutWaitingForIt)
{
    m_triggers.Set(u"a", u"1");
    m_triggers.Set(u"b", u"2");
    EXPECT_TRUE(Run(*MakeCondition({{u"a", u"1"}, {u"b", u"2"}}, true, true))) << "the branch never reports";
    EXPECT_TRUE(Run(*MakeCondition({{u"a", u"1"}, {u"b", u"3"}}, true, true))) << "every pair must hold";
    EXPECT_TRUE(Run(*MakeCondition({{u"a", u"01"}}, true, true))) << "values compare as text";
    EXPECT_TRUE(Run(*MakeCondition({{u"never", u""}}, true, true))) << "an unset trigger reads as empty";
    EXPECT_TRUE(Run(*MakeCondition({}, true, true))) << "an empty condition holds";
    EXPECT_EQ(m_log, (Log{u"then", u"else", u"else", u"then", u"then"}));
}

TEST_F(FlowCommandsTest, MissingBranchesKeepTheirSlots)
{
    m_triggers.Set(u"a", u"1");
    auto elseOnly = MakeCondition({{u"a", u"1"}}, false, true);
    EXPECT_EQ(elseOnly->GetThen(), nullptr);
    EXPECT_TRUE(Run(*elseOnly));
    EXPECT_TRUE(m_log.empty()) << "the else-command must not stand in for an empty then-part";
    m_triggers.Set(u"a", u"2");
    EXPECT_TRUE(Run(*elseOnly));
    EXPECT_TRUE(Run(*MakeCondition({{u"a", u"1"}}, true, false)));
    EXPECT_EQ(m_log, Log{u"else"});
}

TEST_F(FlowCommandsTest, GotoStartsTheTargetAfreshAndClearsInterfacesShownBeforeTheJump)
{
    m_scenes.CreateInterfaceScene(u"hud");
    m_scenes.CreateInterfaceScene(u"menu");
    Scene* a = m_scenes.CreateScene(u"a");
    a->AddCommand(std::make_unique<TagCommand>(m_log, u"a1"));
    a->AddCommand(std::make_unique<GotoCommand>(u"b"));
    a->AddCommand(std::make_unique<TagCommand>(m_log, u"a3"));
    Scene* b = m_scenes.CreateScene(u"b");
    b->AddCommand(std::make_unique<ShowInterfaceCommand>(u"menu"));
    b->AddCommand(std::make_unique<TagCommand>(m_log, u"b2", false));
    m_scenes.LaunchInterface(u"hud");
    m_scenes.StartScene(u"a", SceneStart::Reset);
    EXPECT_EQ(m_scenes.GetCurrentName(), u"b");
    EXPECT_EQ(m_scenes.GetCurrentScene(), b);
    EXPECT_FALSE(a->IsRunning());
    EXPECT_EQ(m_log, (Log{u"a1", u"b2"})) << "nothing after the jump may run in the old scene";
    EXPECT_EQ(m_scenes.GetShownInterfaces(), std::vector<std::u16string>{u"menu"});
}

TEST_F(FlowCommandsTest, SetTriggerWritesTheTriggerAndRightClickToggles)
{
    SetTriggerCommand set(u"visited", u"yes");
    EXPECT_TRUE(Run(set));
    EXPECT_EQ(m_triggers.Get(u"visited"), u"yes");
    EXPECT_EQ(set.GetDescription(), u"Set trigger-visited=yes");

    EnableRightClickCommand off(false);
    EnableRightClickCommand on(true);
    EXPECT_TRUE(Run(off));
    EXPECT_FALSE(m_scenes.IsRightClickEnabled());
    EXPECT_TRUE(Run(on));
    EXPECT_TRUE(m_scenes.IsRightClickEnabled());
}

TEST_F(FlowCommandsTest, LaunchRefusesAnOptionLikeTargetAndStillReports)
{
    LaunchCommand option(u"-x");
    EXPECT_TRUE(Run(option)) << "without the 2D library nothing is launched, but the story goes on";
    TestTools::TempFolder folder;
    folder.Enter();
    HgeManager manager("engine.log");
    EXPECT_TRUE(Run(option));
    const std::string log = folder.Read("engine.log");
    EXPECT_NE(log.find("cannot open '-x'"), std::string::npos) << log;
}

} // namespace
} // namespace Vel
