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
    void Run() override {}
};

struct Marker : Command
{
    explicit Marker(bool& ran) : m_ran(ran) {}
    void Execute(Scene& /*scene*/) override
    {
        m_ran = true;
        Complete();
    }
    bool& m_ran;
};

using Placement = CreateNodeCommand::Placement;

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
        SceneNode* node = m_scene.FindNode(name);
        if (node == nullptr)
            throw std::runtime_error("no node");
        return *node;
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

TEST_F(NodeCommandsTest, NodeIsPlacedThenFadedMovedAndZoomedToExactEnds)
{
    CreateNodeCommand create(Placement{u"hero", u"", 10.0f, 20.0f, 2, 0.0f, true, &m_still});
    create.AddChild(std::make_unique<ModifyOpacityCommand>(u"hero", 0.0f, 1.0f, 0.5f));
    EXPECT_FALSE(Run(create)) << "the fade is awaited";
    SceneNode& hero = Node(u"hero");
    EXPECT_EQ(std::vector({hero.GetX(), hero.GetY(), hero.GetOpacity()}), std::vector({10.0f, 20.0f, 0.0f}));
    EXPECT_EQ(hero.GetLayer(), 2);
    EXPECT_EQ(hero.GetResource(), &m_still);
    std::vector<float> opacities;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(m_reports, 0) << "reported before the fade ended, frame " << i;
        Frame(0.125f);
        opacities.push_back(hero.GetOpacity());
    }
    EXPECT_EQ(opacities, (std::vector{0.25f, 0.5f, 0.75f, 1.0f}));
    EXPECT_EQ(m_reports, 1);
    Frame(0.125f);
    EXPECT_EQ(m_reports, 1) << "a finished fade reports once";

    ModifyPositionCommand move(u"hero", {0.0f, 0.0f}, {100.0f, 200.0f}, 1.0f);
    EXPECT_FALSE(Run(move));
    Frame(0.5f);
    EXPECT_EQ(std::vector({hero.GetX(), hero.GetY()}), std::vector({50.0f, 100.0f}));
    EXPECT_EQ(m_reports, 1);
    Frame(0.5f);
    EXPECT_EQ(std::vector({hero.GetX(), hero.GetY()}), std::vector({100.0f, 200.0f}));
    EXPECT_EQ(m_reports, 2);

    ModifyZoomCommand zoom(u"hero", 2.0f, 0.5f, false);
    EXPECT_FALSE(Run(zoom));
    Frame(0.25f);
    EXPECT_EQ(hero.GetZoom(), 1.5f);
    Frame(0.25f);
    EXPECT_EQ(hero.GetZoom(), 2.0f);
    EXPECT_EQ(m_reports, 3);
    EXPECT_FALSE(Run(zoom));
    Frame(0.5f);
    EXPECT_EQ(hero.GetZoom(), 4.0f) << "the factor is relative to the zoom the node had";
    EXPECT_EQ(std::vector({hero.GetX(), hero.GetY()}), std::vector({100.0f, 200.0f})) << "top-left stays";

    ModifyZoomCommand centred(u"hero", 0.5f, 0.0001f, true);
    EXPECT_FALSE(Run(centred));
    Frame(1.0f);
    EXPECT_EQ(hero.GetZoom(), 2.0f);
    EXPECT_EQ(std::vector({hero.GetX(), hero.GetY()}), std::vector({110.0f, 210.0f})) << "40 wide shrinks to 20";
}

TEST_F(NodeCommandsTest, ModifiersWithoutWaitOrWithoutNodeReportAtOnce)
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

    ModifyOpacityCommand ghostFade(u"ghost", 0.0f, 1.0f, 1.0f);
    ModifyZoomCommand ghostZoom(u"ghost", 2.0f, 1.0f, true);
    ModifyPositionCommand ghostMove(u"ghost", {}, {1.0f, 1.0f}, 1.0f);
    ModifyActionCommand ghostAction(u"ghost", std::make_shared<NoAction>());
    EXPECT_TRUE(Run(ghostFade));
    EXPECT_TRUE(Run(ghostZoom));
    EXPECT_TRUE(Run(ghostMove));
    EXPECT_TRUE(Run(ghostAction));
    EXPECT_EQ(m_scene.FindNode(u"ghost"), nullptr) << "a modifier must not create its node";
}

TEST_F(NodeCommandsTest, CommandForAnExistingNodeUpdatesItAndStillStartsItsChildren)
{
    Place(u"hero", 1);
    Node(u"hero").MoveTo(5.0f, 6.0f);
    auto action = std::make_shared<NoAction>();
    CreateNodeCommand again(
        Placement{u"hero", u"", CreateNodeCommand::kKeepPosition, 99.0f, 7, 0.0f, false, &m_moving});
    again.AddChild(std::make_unique<ModifyActionCommand>(u"hero", action));
    EXPECT_TRUE(Run(again)) << "an existing node's picture is not awaited";
    SceneNode& hero = Node(u"hero");
    EXPECT_EQ(std::vector({hero.GetX(), hero.GetY(), hero.GetOpacity()}), std::vector({5.0f, 6.0f, 1.0f}));
    EXPECT_FALSE(hero.IsVisible());
    EXPECT_EQ(hero.GetLayer(), 1);
    EXPECT_EQ(hero.GetResource(), &m_still);
    EXPECT_EQ(hero.GetAction(), action) << "the child ran";
    EXPECT_EQ(m_moving.WaitingHandlers(), 0u);
    EXPECT_EQ(m_reports, 2) << "one report each for the placing and the update";

    CreateNodeCommand still(Placement{u"still", u"", 0.0f, 0.0f, 1, 1.0f, true, &m_still});
    EXPECT_TRUE(Run(still)) << "a still picture without children reports within Execute";
    EXPECT_EQ(m_reports, 3);
}

TEST_F(NodeCommandsTest, AnimationIsAwaitedUntilItFinishesButNeverAfterTheCommandIsGone)
{
    CreateNodeCommand create(Placement{u"walk", u"animation", 0.0f, 0.0f, 1, 1.0f, true, &m_moving});
    create.AddChild(std::make_unique<ModifyOpacityCommand>(u"walk", 0.0f, 1.0f, 0.5f));
    EXPECT_FALSE(Run(create));
    Frame(0.5f);
    EXPECT_EQ(m_reports, 0) << "the fade ended but the animation plays on";
    m_moving.End();
    EXPECT_EQ(m_reports, 1);
    m_moving.End();
    EXPECT_EQ(m_reports, 1);

    auto doomed = std::make_unique<CreateNodeCommand>(Placement{u"w2", u"", 0.0f, 0.0f, 1, 1.0f, true, &m_moving});
    EXPECT_FALSE(Run(*doomed));
    EXPECT_EQ(m_moving.WaitingHandlers(), 1u);
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

TEST_F(NodeCommandsTest, ClearRemovesNodesGroupsLayersAndInterfacesInThatPriority)
{
    Place(u"bg_sky", 0);
    Place(u"alice", 1, u"character");
    Place(u"bob", 1, u"character");
    Place(u"hud", 3);
    Place(u"tree", 3);
    m_scenes.CreateInterfaceScene(u"hud");
    m_scenes.CreateInterfaceScene(u"map");
    m_scenes.LaunchInterface(u"hud");
    m_scenes.LaunchInterface(u"map");

    ClearCommand node(u"hud");
    EXPECT_TRUE(Run(node));
    EXPECT_EQ(m_scene.FindNode(u"hud"), nullptr);
    EXPECT_EQ(m_scenes.GetShownInterfaces().size(), 2u) << "a node name clears only the node";
    ClearCommand characters(u"characters");
    EXPECT_TRUE(Run(characters));
    EXPECT_EQ(m_scene.FindNode(u"alice"), nullptr);
    EXPECT_EQ(m_scene.FindNode(u"bob"), nullptr);
    EXPECT_NE(m_scene.FindNode(u"bg_sky"), nullptr);
    ClearCommand interfaceName(u"  map ");
    EXPECT_TRUE(Run(interfaceName));
    EXPECT_EQ(m_scenes.GetShownInterfaces(), std::vector<std::u16string>{u"hud"});

    ClearCommand layer(u"  layer:3 ");
    EXPECT_EQ(layer.GetLayer(), 3);
    EXPECT_TRUE(Run(layer));
    EXPECT_TRUE(m_scene.FindLayer(3)->GetNodes().empty());
    EXPECT_NE(m_scene.FindNode(u"tree"), nullptr) << "a cleared layer keeps its nodes";
    EXPECT_FALSE(m_scene.FindLayer(0)->GetNodes().empty());
    ClearCommand badLayer(u"layer:x");
    EXPECT_EQ(badLayer.GetLayer(), 0);
    EXPECT_TRUE(Run(badLayer));
    EXPECT_TRUE(m_scene.FindLayer(0)->GetNodes().empty());

    ClearCommand bg(u"bg");
    ClearCommand unknown(u"nothing");
    EXPECT_TRUE(Run(unknown));
    EXPECT_NE(m_scene.FindNode(u"bg_sky"), nullptr);
    EXPECT_TRUE(Run(bg));
    EXPECT_EQ(m_scene.FindNode(u"bg_sky"), nullptr);
    EXPECT_NE(m_scene.FindNode(u"tree"), nullptr);
    EXPECT_EQ(unknown.GetLayer(), std::nullopt);
}

TEST_F(NodeCommandsTest, ClearObjectsResetsTheSceneAndAllClearsEverything)
{
    Place(u"tree", 2);
    bool nextRan = false;
    m_scene.AddCommand(std::make_unique<ClearCommand>(u"objects"));
    m_scene.AddCommand(std::make_unique<Marker>(nextRan));
    m_scene.Start();
    Frame(0.0f);
    EXPECT_TRUE(m_scene.GetNodes().empty());
    EXPECT_TRUE(m_scene.GetLayers().empty());
    EXPECT_FALSE(nextRan) << "the reset forgot the report, so the list stops";
    EXPECT_EQ(m_scene.GetPosition(), 0);

    Place(u"tree", 2);
    m_scenes.CreateInterfaceScene(u"hud");
    m_scenes.LaunchInterface(u"hud");
    ClearCommand all(u"all");
    EXPECT_TRUE(Run(all));
    Frame(0.0f);
    EXPECT_TRUE(m_scene.GetNodes().empty());
    EXPECT_TRUE(m_scenes.GetShownInterfaces().empty());
}

} // namespace
} // namespace Vel
