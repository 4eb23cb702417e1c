#include "scene/ScenesManager.h"

#include "ProcessRecordGuard.h"
#include "HeadlessHge.h"
#include "ReplayLoop.h"
#include "SceneTestTools.h"
#include "TempFolder.h"
#include "core/HgeManager.h"
#include "scene/ClickGate.h"
#include "scene/CurrentScene.h"
#include "scene/PlayerActions.h"
#include "scene/MenuLayer.h"

#include <gtest/gtest.h>

#include <map>

namespace Vel {
namespace {

using TestTools::LoggingCommand;
using Log = std::vector<std::string>;

class ScenesManagerTest : public ::testing::Test
{
protected:
    // A scene whose commands log their tag; waiting ones report only when the test completes them.
    Scene* MakeScene(const std::u16string& name, std::vector<std::pair<std::string, bool>> commands)
    {
        Scene* scene = m_manager.CreateScene(name);
        for (auto& [tag, immediate] : commands) {
            auto command = std::make_unique<LoggingCommand>(m_log, tag, immediate);
            m_commands[tag] = command.get();
            scene->AddCommand(std::move(command));
        }
        return scene;
    }

    TestTools::ProcessRecordGuard m_records;
    ScenesManager m_manager;
    Log m_log;
    std::map<std::string, LoggingCommand*> m_commands;
};

TEST_F(ScenesManagerTest, ScenesFollowEachOtherInDefinitionOrder)
{
    Scene* a = MakeScene(u"a", {{"a1", true}, {"a2", false}});
    MakeScene(u"c", {{"c1", true}});
    Scene* b = MakeScene(u"b", {{"b1", false}});
    m_manager.StartScene(u"a", SceneStart::Reset);
    EXPECT_EQ(CurrentScene::Get(), a);
    m_commands["a2"]->Complete();
    // c ends at once and hands over to b, which was defined after it although its name sorts before it.
    EXPECT_EQ(m_log, (Log{"a1", "a2", "c1", "b1"}));
    // The last scene stays on its last picture under its own name.
    m_commands["b1"]->Complete();
    EXPECT_EQ(m_manager.GetCurrentScene(), b);
    EXPECT_EQ(m_manager.GetCurrentName(), u"b");

    // A second definition under a taken name is chained, but the name keeps the first scene.
    EXPECT_NE(MakeScene(u"a", {{"x", true}}), a);
    EXPECT_EQ(b->GetNextScene(), u"a");
    EXPECT_EQ(m_manager.FindScene(u"a"), a);
}

// A start afresh is the goto command's test, and resuming where a save stood the save run's.
TEST_F(ScenesManagerTest, UnknownNamesAndLateReportsOfTheOldSceneStartNothing)
{
    Scene* a = MakeScene(u"a", {{"a1", true}, {"a2", false}});
    Scene* c = MakeScene(u"c", {{"c1", false}});
    m_manager.StartScene(u"a", SceneStart::Reset);
    // An unknown name: a keeps running, but its end starts nothing until a start succeeds.
    m_manager.StartScene(u"nowhere", SceneStart::Reset);
    EXPECT_EQ(m_manager.GetCurrentName(), u"nowhere");
    m_commands["a2"]->Complete();
    EXPECT_EQ(m_manager.GetCurrentScene(), a);
    EXPECT_EQ(m_log.size(), 2u);

    // A report of the scene switched away from goes nowhere.
    m_manager.StartScene(u"a", SceneStart::Reset);
    m_manager.StartScene(u"c", SceneStart::Reset);
    m_commands["a2"]->Complete();
    EXPECT_EQ(a->GetPosition(), 1);
    EXPECT_EQ(m_manager.GetCurrentScene(), c);
    EXPECT_EQ(m_log.back(), "c1");
}

TEST_F(ScenesManagerTest, ScenesThatEndAtOnceInALoopGoOnAtTheNextFrame)
{
    // The second "a" is chained after "b" and back to "a": with nothing to wait for this loop never settles.
    MakeScene(u"a", {{"a1", true}});
    MakeScene(u"b", {{"b1", true}});
    MakeScene(u"a", {});
    m_manager.StartScene(u"a", SceneStart::Reset);
    const std::size_t firstFrame = m_log.size();
    EXPECT_GT(firstFrame, 10u);
    m_manager.Update(0.016f);
    EXPECT_GT(m_log.size(), firstFrame);
}

// The gate's delay is the click gate's test; the manager steps the gate and closes it at a start, so the click that
// started a scene does not act in it.
TEST_F(ScenesManagerTest, AStartClosesTheClickGateAndUpdatesOpenIt)
{
    MakeScene(u"a", {{"a1", false}});
    m_manager.StartScene(u"a", SceneStart::Reset);
    m_manager.Update(0.2f);
    EXPECT_FALSE(ClickGate::Left().IsReady());
    m_manager.Update(0.1f);
    EXPECT_TRUE(ClickGate::Left().IsReady());
}

// A menu layer that records which menus were asked for and stays open until the test closes it.
class RecordingMenus : public MenuLayer
{
public:
    [[nodiscard]] const std::u16string& CurrentMenuName() const override { return m_open; }
    void ShowMenu(const std::u16string& name, Callback<void()> /*closed*/) override
    {
        m_open = name;
        shownAt.push_back(frame);
    }
    void CloseAll() override { m_open.clear(); }
    void Back() override { m_open.clear(); }
    [[nodiscard]] std::size_t OpenCount() const override { return m_open.empty() ? 0 : 1; }
    void Update(float /*dt*/) override {}
    void RenderTop() override {}

    int frame = 0;
    std::vector<int> shownAt;

private:
    std::u16string m_open;
};

TEST_F(ScenesManagerTest, EscapeOpensTheRightClickMenuOnceAndGoesBackFromIt)
{
    TestTools::TempFolder folder;
    // Escape at frame 1 opens the menu; at 25 (the gate open again) it closes the menu and the gate, so at 30 it
    // is still ignored; at 60 it opens the menu again.
    TestTools::HeadlessHge hge(
        TestTools::ReplayOptions("1 key escape\n25 key escape\n30 key escape\n60 key escape\n", 70));
    HgeManager manager(folder.File("engine.log"));
    ASSERT_TRUE(hge->System_Initiate());
    RecordingMenus menus;
    m_manager.SetMenuLayer(&menus);
    m_manager.SetRightClickMenu(u"pause");
    TestTools::RunFrames(hge.Get(), [&] {
        ++menus.frame;
        PlayerActions::Get().Poll(*hge.Get());
        m_manager.Update(1.0f / 60.0f);
    });
    EXPECT_EQ(menus.shownAt, (std::vector<int>{1, 60}));
    EXPECT_EQ(menus.CurrentMenuName(), u"pause");
    m_manager.SetMenuLayer(nullptr);
}

} // namespace
} // namespace Vel
