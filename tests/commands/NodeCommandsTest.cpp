#include "commands/ClearCommand.h"
#include "commands/CreateNodeCommand.h"
#include "commands/ModifyActionCommand.h"
#include "commands/ModifyOpacityCommand.h"
#include "commands/ModifyPositionCommand.h"
#include "commands/ModifyZoomCommand.h"

#include "resources/Resource.h"
#include "scene/Action.h"
#include "scene/Layer.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/ScenesManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

// A picture whose end the test decides: a still one is complete at once, a moving one when End is called.
class TestPicture : public Resource
{
public:
    explicit TestPicture(bool still) : m_still(still) {}
    [[nodiscard]] ResourceType GetType() const override { return ResourceType::Animation; }
    [[nodiscard]] float GetWidth() override { return 10.0f; }
    [[nodiscard]] float GetHeight() override { return 10.0f; }
    void Render(float /*x*/, float /*y*/, float /*zoom*/, float /*opacity*/) override {}
    void Update(float /*dt*/) override {}
    void Unload() override {}
    [[nodiscard]] bool IsStatic() const override { return m_still; }
    void End() { Finish(); }

private:
    bool m_still;
};

struct NoAction : Action
{
    void Perform() override {}
};

using Placement = CreateNodeCommand::Placement;
using Point = ModifyPositionCommand::Point;

class NodeCommandsTest : public ::testing::Test
{
protected:
    // Starts the command as a scene's list would and counts its reports; says whether it reported at once.
    bool Run(Command& command)
    {
        const int before = m_reports;
        command.SetCompletion(Callback<void()>([this] { ++m_reports; }));
        command.Execute(m_scene);
        return m_reports > before;
    }
    void Frame(float dt) { m_scene.Update(dt, Scene::Mouse{}); }
    SceneNode& Node(const std::u16string& name)
    {
        return m_scene.FindNode(name) != nullptr ? *m_scene.FindNode(name) : throw std::runtime_error("no node");
    }
    // A visible node on the layer, made live by a frame.
    void Place(const std::u16string& name, std::int32_t layer, const std::u16string& group = {})
    {
        CreateNodeCommand command(Placement{name, group, 0.0f, 0.0f, layer, 1.0f, true, &m_still});
        Run(command);
        Frame(0.0f);
    }

    ScenesManager m_scenes;
    Scene m_scene;
    TestPicture m_still{true};
    TestPicture m_moving{false};
    int m_reports = 0;
};

// The stepping itself belongs to the animators. Placing, fading and moving are awaited to their end in the story run,
// whose trace shows the pause after them starting on the frame they end; the zoom is not there.
TEST_F(NodeCommandsTest, ZoomIsAwaitedToItsEnd)
{
    Place(u"hero", 2);
    ModifyZoomCommand zoom(u"hero", 2.0f, 0.5f, false);
    EXPECT_FALSE(Run(zoom));
    Frame(0.25f);
    EXPECT_EQ(m_reports, 1) << "only the placing reported";
    Frame(0.25f);
    EXPECT_EQ(m_reports, 2);
    EXPECT_EQ(Node(u"hero").GetZoom(), 2.0f);
}

TEST_F(NodeCommandsTest, ModifiersWithoutWaitOrNodeReportAtOnceAndExistingNodeIsUpdated)
{
    Place(u"hero", 1);
    ModifyOpacityCommand fade(u"hero", 1.0f, 0.0f, 1.0f);
    fade.SetWait(false);
    EXPECT_TRUE(Run(fade));
    Frame(0.5f);
    EXPECT_EQ(Node(u"hero").GetOpacity(), 0.5f) << "the fade goes on after the report";
    ModifyPositionCommand move(u"hero", {}, {4.0f, 4.0f}, 1.0f);
    move.SetWait(false);
    EXPECT_TRUE(Run(move));

    const std::unique_ptr<Command> ghosts[] = {
        std::make_unique<ModifyOpacityCommand>(u"ghost", 0.0f, 1.0f, 1.0f),
        std::make_unique<ModifyZoomCommand>(u"ghost", 2.0f, 1.0f, true),
        std::make_unique<ModifyPositionCommand>(u"ghost", Point{}, Point{1.0f, 1.0f}, 1.0f),
        std::make_unique<ModifyActionCommand>(u"ghost", std::make_shared<NoAction>())};
    for (const auto& ghost : ghosts)
        EXPECT_TRUE(Run(*ghost));
    EXPECT_EQ(m_scene.FindNode(u"ghost"), nullptr) << "a modifier must not create its node";

    Node(u"hero").MoveTo(5.0f, 6.0f);
    auto action = std::make_shared<NoAction>();
    CreateNodeCommand again(
        Placement{u"hero", u"", CreateNodeCommand::kKeepPosition, 99.0f, 7, 0.0f, false, &m_moving});
    again.AddChild(std::make_unique<ModifyActionCommand>(u"hero", action));
    EXPECT_TRUE(Run(again)) << "an existing node's picture is not awaited";
    SceneNode& hero = Node(u"hero");
    EXPECT_EQ(std::vector({hero.GetX(), hero.GetY(), hero.GetOpacity()}), std::vector({5.0f, 6.0f, 0.5f}));
    EXPECT_FALSE(hero.IsVisible());
    EXPECT_EQ(hero.GetLayer(), 1);
    EXPECT_EQ(hero.GetResource(), &m_still);
    EXPECT_EQ(hero.GetAction(), action) << "the child ran";
    EXPECT_EQ(m_moving.WaitingHandlers(), 0u);
    EXPECT_EQ(m_reports, 8) << "one report from each command, the placing and the update included";
}

TEST_F(NodeCommandsTest, AnimationIsAwaitedUntilItFinishesButNeverAfterTheCommandIsGone)
{
    CreateNodeCommand create(Placement{u"walk", u"animation", 0.0f, 0.0f, 1, 1.0f, true, &m_moving});
    create.AddChild(std::make_unique<ModifyOpacityCommand>(u"walk", 0.0f, 1.0f, 0.5f));
    EXPECT_FALSE(Run(create));
    Frame(0.5f);
    EXPECT_EQ(m_reports, 0) << "the fade ended but the animation plays on";
    m_moving.End();
    m_moving.End();
    EXPECT_EQ(m_reports, 1);

    auto doomed = std::make_unique<CreateNodeCommand>(Placement{u"w2", u"", 0.0f, 0.0f, 1, 1.0f, true, &m_moving});
    EXPECT_FALSE(Run(*doomed));
    doomed.reset();
    EXPECT_EQ(m_moving.WaitingHandlers(), 0u) << "the destroyed command withdrew its handler";
    m_moving.End();
    EXPECT_EQ(m_reports, 1);
    CreateNodeCommand noWait(Placement{u"w3", u"", 0.0f, 0.0f, 1, 1.0f, true, &m_moving});
    noWait.SetWait(false);
    EXPECT_TRUE(Run(noWait));
    EXPECT_EQ(m_moving.WaitingHandlers(), 0u);

    CreateNodeCommand rerun(Placement{u"w4", u"", 0.0f, 0.0f, 1, 1.0f, true, &m_moving});
    EXPECT_FALSE(Run(rerun));
    m_scene.Reset();
    EXPECT_FALSE(Run(rerun)) << "a fresh run after a reset";
    EXPECT_EQ(m_moving.WaitingHandlers(), 1u) << "the abandoned run's handler was replaced";
    m_moving.End();
    EXPECT_EQ(m_reports, 2);
}

TEST_F(NodeCommandsTest, ClearRemovesNodesGroupsLayersInterfacesObjectsAndAll)
{
    for (const auto& [name, layer] : {std::pair{u"bg_sky", 0}, {u"alice", 1}, {u"hud", 3}, {u"tree", 3}})
        Place(name, layer);
    Place(u"bob", 1, u"character");
    for (const char16_t* name : {u"hud", u"map"}) {
        m_scenes.CreateInterfaceScene(name);
        m_scenes.LaunchInterface(name);
    }
    const auto clear = [this](const std::u16string& target) { return Run(*std::make_unique<ClearCommand>(target)); };
    const auto has = [this](const char16_t* name) { return m_scene.FindNode(name) != nullptr; };
    EXPECT_TRUE(clear(u"hud"));
    EXPECT_FALSE(has(u"hud"));
    EXPECT_EQ(m_scenes.GetShownInterfaces().size(), 2u) << "a node name clears only the node";
    EXPECT_TRUE(clear(u"characters"));
    EXPECT_EQ(std::vector({has(u"alice"), has(u"bob"), has(u"bg_sky")}), std::vector({true, false, true}));
    EXPECT_TRUE(clear(u"  map "));
    EXPECT_EQ(m_scenes.GetShownInterfaces(), std::vector<std::u16string>{u"hud"});
    EXPECT_TRUE(clear(u"  layer:3 "));
    EXPECT_TRUE(m_scene.FindLayer(3)->GetNodes().empty());
    EXPECT_TRUE(has(u"tree")) << "a cleared layer keeps its nodes";
    EXPECT_TRUE(clear(u"nothing"));
    EXPECT_TRUE(has(u"bg_sky"));
    EXPECT_TRUE(clear(u"bg"));
    EXPECT_EQ(std::vector({has(u"bg_sky"), has(u"tree")}), std::vector({false, true}));

    m_scene.AddCommand(std::make_unique<ClearCommand>(u"objects"));
    m_scene.AddCommand(std::make_unique<CreateNodeCommand>(Placement{u"next", u"", 0, 0, 1, 1.0f, true, &m_still}));
    m_scene.Start();
    Frame(0.0f);
    EXPECT_TRUE(m_scene.GetNodes().empty());
    EXPECT_TRUE(m_scene.GetLayers().empty());
    EXPECT_FALSE(has(u"next")) << "the reset forgot the report, so the list stops";
    EXPECT_EQ(m_scene.GetPosition(), 0);
    Place(u"tree", 2);
    EXPECT_TRUE(clear(u"all"));
    Frame(0.0f);
    EXPECT_TRUE(m_scene.GetNodes().empty());
    EXPECT_TRUE(m_scenes.GetShownInterfaces().empty());
}

} // namespace
} // namespace Vel
