#include "SceneTestTools.h"
#include "scene/ClickGate.h"
#include "scene/Layer.h"
#include "scene/MoveAnimator.h"
#include "scene/OpacityAnimator.h"
#include "scene/Poster.h"
#include "scene/RunCommandAction.h"
#include "scene/RunFunctionAction.h"
#include "scene/SleepAnimator.h"
#include "scene/ZoomAnimator.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace Vel {
namespace {

using TestTools::DrawList;
using TestTools::kNowhere;
using TestTools::LoggingCommand;
using Log = std::vector<std::string>;
using Names = std::vector<std::u16string>;

TEST(SceneTest, NodeChangesTakeEffectAtTheNextUpdate)
{
    Scene scene;
    SceneNode* early = scene.CreateNode(u"early", 2, {});
    scene.RemoveNode(u"early");
    EXPECT_EQ(scene.FindNode(u"early"), early) << "a pending addition is found but cannot be removed yet";
    EXPECT_EQ(scene.CreateNode(u"early", 2, {}), nullptr);
    scene.Update(0.0f, kNowhere);
    EXPECT_EQ(DrawList(scene, 2), Names{u"early"});

    auto action = std::make_shared<RunFunctionAction>(Callback<void()>());
    early->SetAction(action);
    scene.RemoveNode(u"early");
    EXPECT_TRUE(DrawList(scene, 2).empty()) << "a removed node leaves its layer at once";
    SceneNode* again = scene.CreateNode(u"early", 2, {});
    ASSERT_NE(again, nullptr) << "a name pending removal may be created again";
    EXPECT_EQ(scene.FindNode(u"early"), again);
    EXPECT_EQ(action.use_count(), 2) << "the old node lives until the next update";
    scene.Update(0.0f, kNowhere);
    EXPECT_EQ(action.use_count(), 1);
    EXPECT_EQ(DrawList(scene, 2), Names{u"early"});
}

// Which nodes a group holds is the clear command's test.
TEST(SceneTest, RemovingAGroupRemovesEveryLiveMemberAlsoOneMadeAgainUnderAnEarlierMembersName)
{
    Scene scene;
    for (int round = 0; round < 2; ++round) {
        scene.CreateNode(u"character_anna", 1, {});
        scene.CreateNode(u"bg", 0, {});
        scene.Update(0.0f, kNowhere);
        scene.RemoveGroup(u"character");
        scene.Update(0.0f, kNowhere);
        EXPECT_EQ(scene.FindNode(u"character_anna"), nullptr) << round;
    }
    EXPECT_EQ(scene.GetNodes().size(), 1u);
}

// What a clear with the target "all" does to the scene.
class ClearAllCommand : public Command
{
public:
    void Execute(Scene& scene) override
    {
        scene.ClearAll();
        Complete();
    }
};

TEST(SceneTest, ResetOrClearFromInsideTheUpdateIsSafe)
{
    Scene scene;
    TestTools::CurrentSceneScope current(scene);
    SceneNode* carrier = scene.GetDummyNode();
    int sleeps = 0;
    for (int i = 0; i < 2; ++i) {
        auto sleep = std::make_unique<SleepAnimator>(*carrier, 0.0f, SleepAnimator::Skip::Never);
        sleep->SetFinishCallback(Callback<void()>([&scene, &sleeps] {
            ++sleeps;
            scene.Reset(); // what a clear of "objects" does
        }));
        carrier->AddAnimator(std::move(sleep));
    }
    scene.Update(0.0f, kNowhere);
    EXPECT_EQ(sleeps, 1) << "the second sleep went with its node";
    EXPECT_TRUE(scene.GetNodes().empty());

    for (const char16_t* name : {u"a", u"b"})
        TestTools::PlaceNode(scene, name, 1, 10.0f);
    scene.Update(0.0f, kNowhere);
    scene.FindNode(u"a")->SetAction(std::make_shared<RunCommandAction>(std::make_unique<ClearAllCommand>()));
    EXPECT_TRUE(scene.Update(0.0f, Scene::Mouse{5.0f, 5.0f, true}));
    EXPECT_TRUE(scene.GetLayers().empty());
    scene.Update(0.0f, kNowhere);
    EXPECT_TRUE(scene.GetNodes().empty());
}

// Waits for a sleep of its own on the scene's carrier node.
class SleepCommand : public Command
{
public:
    explicit SleepCommand(float seconds) : m_seconds(seconds) {}
    void Execute(Scene& scene) override
    {
        SceneNode* carrier = scene.GetDummyNode();
        auto sleep = std::make_unique<SleepAnimator>(*carrier, m_seconds, SleepAnimator::Skip::Never);
        sleep->SetFinishCallback(Guarded(&SleepCommand::Complete));
        carrier->AddAnimator(std::move(sleep));
    }

private:
    float m_seconds;
};

class CommandListTest : public ::testing::Test
{
protected:
    CommandListTest()
    {
        m_scene.SetFinishedCallback(Callback<void()>([this] { ++m_finished; }));
    }
    LoggingCommand* Add(const std::string& tag, bool immediate = true)
    {
        auto command = std::make_unique<LoggingCommand>(m_log, tag, immediate);
        LoggingCommand* added = command.get();
        m_scene.AddCommand(std::move(command));
        return added;
    }
    void Frame(float dt) { m_scene.Update(dt, kNowhere); }

    Scene m_scene;
    Log m_log;
    int m_finished = 0;
};

// Lists of immediate commands, empty ones and the reported end are every end-to-end run's.
TEST_F(CommandListTest, AWaitingParentReportsOnceWhenItsLastChildFinishes)
{
    LoggingCommand* parent = Add("parent", false);
    Add("next");
    for (const float seconds : {0.5f, 0.25f, 1.0f})
        parent->AddChild(std::make_unique<SleepCommand>(seconds));
    m_scene.Start();
    for (int frame = 0; frame < 3; ++frame)
        Frame(0.25f);
    EXPECT_EQ(m_log, Log{"parent"});
    Frame(0.25f);
    EXPECT_EQ(m_log, (Log{"parent", "next"}));
    parent->Complete();
    EXPECT_EQ(m_finished, 1) << "a second report of the same run is not heard";
}

TEST_F(CommandListTest, LateReportsAfterAStopOrAResetGoNowhere)
{
    LoggingCommand* waiting = Add("waiting", false);
    Add("after");
    m_scene.Start();
    m_scene.Stop();
    waiting->Complete();
    EXPECT_EQ(m_scene.GetPosition(), 0);

    LoggingCommand* parent = Add("parent", false);
    parent->AddChild(std::make_unique<SleepCommand>(1.0f));
    parent->AddChild(std::make_unique<LoggingCommand>(m_log, "child", false));
    m_scene.SetCommands({parent});
    m_scene.OnCommandFinished();
    Command* child = parent->GetChildren()[1].get();
    m_scene.Reset();
    child->Complete();
    waiting->Complete();
    Frame(2.0f);
    EXPECT_EQ(m_scene.GetPosition(), 0) << "the reset list stands at its start";
    EXPECT_EQ(m_finished, 0);

    // A command that outlives its animator's owner: its guarded report after destruction is harmless.
    Scene other;
    auto sleeper = std::make_unique<SleepCommand>(0.0f);
    sleeper->Execute(other);
    sleeper.reset();
    other.Update(0.0f, kNowhere);
}

TEST(InputObjectTest, HitRectangleIncludesTheTopLeftEdgesOnlyIgnoresZoomAndHidingTakesItAway)
{
    TestTools::TestPicture picture(10.0f, 10.0f);
    SceneNode node;
    node.MoveTo(100.0f, 200.0f);
    EXPECT_FALSE(node.TestMouse(100.0f, 200.0f, false)) << "no size and no picture: 0 x 0";
    node.SetResource(&picture);
    node.SetZoom(3.0f);
    EXPECT_TRUE(node.TestMouse(100.0f, 200.0f, false));
    EXPECT_FALSE(node.TestMouse(110.0f, 205.0f, false));
    EXPECT_FALSE(node.TestMouse(105.0f, 210.0f, false));
    node.Hide();
    EXPECT_FALSE(node.TestMouse(100.0f, 200.0f, true));
}

// A button: A shows while the mouse is away, B while it is over the same rectangle.
class HoverSwapTest : public ::testing::Test
{
protected:
    HoverSwapTest()
    {
        m_a = TestTools::PlaceNode(m_scene, u"a", 1, 10.0f);
        m_b = TestTools::PlaceNode(m_scene, u"b", 1, 10.0f);
        m_a->SetHoverTargetName(u"b");
        m_b->SetLeaveTarget(m_a);
        m_b->Hide();
    }
    void Frame(float x, float y, bool clicked = false) { m_scene.Update(0.016f, Scene::Mouse{x, y, clicked}); }

    Scene m_scene;
    TestTools::CurrentSceneScope m_current{m_scene};
    SceneNode* m_a;
    SceneNode* m_b;
};

// Swapping in, running the leave target's action on a click and swapping back are every menu button's in the runs.
TEST_F(HoverSwapTest, SwapsInOnceAFrameAndForgetsRemovedNodes)
{
    Frame(5.0f, 5.0f);
    EXPECT_FALSE(m_a->IsVisible());
    EXPECT_TRUE(m_b->IsVisible()) << "B's test in the same frame must not swap straight back";

    // Removed nodes are never reached through another node's targets, in this scene or another.
    Scene overlay;
    SceneNode* badge = overlay.CreateNode(u"badge", 0, {});
    badge->SetLeaveTargetName(u"a"); // resolved in the current scene, not its own
    overlay.Update(0.0f, kNowhere);
    ASSERT_EQ(badge->GetLeaveTarget(), m_a);
    m_scene.RemoveNode(u"b");
    EXPECT_EQ(m_a->GetHoverTarget(), nullptr) << "cleared at removal, before the node is deleted";
    Frame(5.0f, 5.0f);
    EXPECT_TRUE(m_a->IsVisible());
    m_scene.Reset();
    EXPECT_EQ(badge->GetLeaveTarget(), nullptr);
}

// Counts the instances alive; running it takes it off the node that ran it.
class SelfRemovingAction : public Action
{
public:
    explicit SelfRemovingAction(SceneNode*& node) : m_node(node) { ++s_alive; }
    ~SelfRemovingAction() override { --s_alive; }
    void Perform() override
    {
        m_node->SetAction(nullptr);
        s_aliveDuringRun = s_alive;
    }

    static inline int s_alive = 0;
    static inline int s_aliveDuringRun = -1;

private:
    SceneNode*& m_node;
};

TEST_F(HoverSwapTest, SharedActionsAreFreedOnceAndSurviveReplacementWhileRunning)
{
    Frame(50.0f, 50.0f);
    m_a->SetHoverTarget(nullptr);
    std::shared_ptr<Action> installed = std::make_shared<SelfRemovingAction>(m_a);
    m_a->SetAction(installed);
    m_b->SetAction(installed); // as a command that installs its action on two nodes
    installed.reset();
    Frame(5.0f, 5.0f, true);
    EXPECT_EQ(SelfRemovingAction::s_aliveDuringRun, 1);
    EXPECT_EQ(SelfRemovingAction::s_alive, 1) << "still held by the other node";
    m_scene.RemoveNode(u"b");
    Frame(50.0f, 50.0f);
    EXPECT_EQ(SelfRemovingAction::s_alive, 0) << "freed with the last holder, once";
}

// Adds the animator to the node and counts its finish reports.
template <typename T> T& Attach(AnimationObject& node, std::unique_ptr<T> animator, int& finished)
{
    T& added = *animator;
    added.SetFinishCallback(Callback<void()>([&finished] { ++finished; }));
    node.AddAnimator(std::move(animator));
    return added;
}

// Linear steps are the node commands' test; frame times that do not add up to the duration in floats still end on
// the target, in the overshooting frame, and report once.
TEST(AnimatorTest, MoveAndFadeEndExactlyOnTheirTargetsAndReportOnce)
{
    SceneNode node;
    int finished = 0;
    Attach(node, std::make_unique<MoveAnimator>(node, 0.0f, 0.0f, 100.0f, 50.0f, 1.0f), finished);
    Attach(node, std::make_unique<OpacityAnimator>(node, 1.0f, 0.0f, 1.0f), finished);
    for (int frame = 0; frame < 59; ++frame)
        node.Update(1.0f / 60.0f);
    EXPECT_EQ(finished, 0);
    node.Update(0.25f);
    EXPECT_EQ(std::tuple(node.GetX(), node.GetY(), node.GetOpacity()), std::tuple(100.0f, 50.0f, 0.0f));
    node.Update(0.25f);
    EXPECT_EQ(finished, 2);
}

// Zooming from the top-left corner is the node commands' test.
TEST(AnimatorTest, AZoomCanKeepTheCentre)
{
    TestTools::TestPicture picture(100.0f, 40.0f);
    SceneNode node;
    node.SetResource(&picture);
    node.MoveTo(10.0f, 20.0f);
    int finished = 0;
    Attach(node, std::make_unique<ZoomAnimator>(node, 1.0f, 2.0f, 2.0f, ZoomAnimator::Anchor::Centre), finished);
    node.Update(1.0f);
    EXPECT_EQ(node.GetX(), -15.0f) << "zoom 1.5";
    node.Update(1.0f);
    EXPECT_EQ(std::pair(node.GetX(), node.GetY()), std::pair(-40.0f, 0.0f));
    Attach(node, std::make_unique<ZoomAnimator>(node, 1.0f, 0.5f, 0.0f, ZoomAnimator::Anchor::Centre), finished);
    node.Update(0.1f);
    EXPECT_EQ(std::pair(node.GetZoom(), node.GetX()), std::pair(0.5f, -40.0f)) << "the factor itself, not moved";
    EXPECT_EQ(finished, 2);
}

TEST(PosterTest, ANoticeWithoutLengthEndsAtOnce)
{
    Poster empty(u"saved", 0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(empty.Update(0.016f));
    EXPECT_EQ(empty.GetAlpha(), 0.0f) << "no division by a zero fade length";
}

// The delay itself is the scenes manager's test, and a click after it the flow run's.
TEST(ClickGateTest, AClickAcceptedAndACloseInTheSameFrameShutTheGateForOneDelayOnly)
{
    ClickGate gate;
    EXPECT_TRUE(gate.Accept(true));
    EXPECT_TRUE(gate.Accept(true)) << "still open until the frame's gate step";
    gate.Close(); // a command that finishes on the click
    for (int frame = 0; frame < 17; ++frame)
        gate.Advance(1.0f / 60.0f);
    EXPECT_FALSE(gate.IsReady());
    gate.Advance(2.0f / 60.0f);
    EXPECT_TRUE(gate.IsReady());
}

} // namespace
} // namespace Vel
