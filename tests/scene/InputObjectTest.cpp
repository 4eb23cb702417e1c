#include "SceneTestTools.h"
#include "scene/RunFunctionAction.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

using TestTools::At;
using TestTools::kNowhere;

TEST(InputObjectTest, HitRectangleIncludesTheTopLeftEdgesOnlyAndIgnoresZoom)
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
    node.SetDrawPosition(0.0f, 0.0f);
    node.Render();
    EXPECT_EQ(picture.lastX, 0.0f) << "drawn at the draw position, still hit at x/y";

    Scene scene;
    TestTools::CurrentSceneScope current(scene);
    SceneNode* other = scene.CreateNode(u"other", 0, {});
    node.Hide();
    node.SetHoverTargetName(u"other");
    EXPECT_FALSE(node.TestMouse(100.0f, 200.0f, true));
    EXPECT_EQ(node.GetHoverTarget(), other) << "names are resolved even while hidden";
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
        m_a->SetAction(std::make_shared<RunFunctionAction>(Callback<void()>([this] { ++m_clicks; })));
    }
    void Frame(float x, float y, bool clicked = false) { m_scene.Update(0.016f, At(x, y, clicked)); }

    Scene m_scene;
    TestTools::CurrentSceneScope m_current{m_scene};
    SceneNode* m_a;
    SceneNode* m_b;
    int m_clicks = 0;
};

TEST_F(HoverSwapTest, SwapsInOnEnterRunsTheLeaveTargetsActionAndSwapsBackOnLeave)
{
    Frame(50.0f, 50.0f);
    EXPECT_FALSE(m_b->IsVisible());
    Frame(5.0f, 5.0f);
    EXPECT_FALSE(m_a->IsVisible());
    EXPECT_TRUE(m_b->IsVisible()) << "B's test in the same frame must not swap straight back";
    Frame(5.0f, 5.0f, true);
    EXPECT_EQ(m_clicks, 1) << "B has no action: its leave target's runs";
    EXPECT_TRUE(m_b->IsVisible());
    Frame(50.0f, 50.0f);
    EXPECT_FALSE(m_b->IsVisible());
    Frame(5.0f, 5.0f);
    EXPECT_TRUE(m_b->IsVisible());
}

TEST_F(HoverSwapTest, RemovedNodesAreNeverReachedThroughAnotherNodesTargets)
{
    Frame(50.0f, 50.0f);
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
    EXPECT_EQ(badge->GetLeaveTarget(), nullptr) << "also across scenes";
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

} // namespace
} // namespace Vel
