#include "script/NodeStatements.h"

#include "HeadlessHge.h"
#include "ScriptRun.h"
#include "commands/ClearCommand.h"
#include "commands/CreateNodeCommand.h"
#include "commands/ModifyActionCommand.h"
#include "commands/ModifyOpacityCommand.h"
#include "commands/ModifyPositionCommand.h"
#include "commands/ModifyZoomCommand.h"
#include "resources/Animation.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "scene/Scene.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

namespace Vel {
namespace {

// Runs one compiled script with a new parser and a new scene each time; the test statement "scene" opens the
// scene's block.
class NodeStatementsTest : public ::testing::Test
{
protected:
    NodeStatementsTest()
    {
        m_script.setup = [this](ParseManager& parser) {
            m_scene = std::make_unique<Scene>();
            parser.AddHandler(u"scene", [this, &parser](CommandLine&) {
                parser.PushBlock(BlockKind::CommandContainer, static_cast<CommandContainer*>(m_scene.get()));
            });
        };
    }
    std::string Run(std::initializer_list<std::u16string_view> lines) { return m_script.Run(lines); }
    // Throws (failing the test) when the command is missing or of another type.
    template <typename T> T& CommandAt(std::size_t index, std::size_t child = SIZE_MAX)
    {
        Command* command = m_scene->GetCommands().at(index);
        return dynamic_cast<T&>(child == SIZE_MAX ? *command : *command->GetChildren().at(child));
    }

    TestTools::HeadlessHge m_hge;
    std::optional<ResourceManager> m_resources{std::in_place};
    std::unique_ptr<Scene> m_scene;
    TestTools::ScriptRun m_script;
};

TEST_F(NodeStatementsTest, StatementsBuildTheirCommandsWithAttachedCommandsInOrder)
{
    ASSERT_EQ(Run({u"scene",
                   u"object(bg, file=bg.png, layer=0, align=10:-20.5, opacity=0:100:500, zoom=50:100, "
                   u"zoomc=150:250, action=goto(x), wait=no)",
                   u"animation(walk, layer=2)", u"object(door, zoom=200:1000)",
                   u"move(hero, finish=100:200, time=1500)", u"move(cat, start=1:2, wait=no)", u"clear( layer:3 )"}),
              "");
    ASSERT_EQ(m_scene->GetCommands().size(), 6u);
    const auto& bg = CommandAt<CreateNodeCommand>(0);
    const CreateNodeCommand::Placement& placed = bg.GetPlacement();
    EXPECT_EQ(std::vector({placed.name, placed.group}), std::vector<std::u16string>({u"bg", u""}));
    EXPECT_EQ(std::vector({placed.x, placed.y, placed.opacity, static_cast<float>(placed.layer)}),
              std::vector({10.0f, -20.5f, 0.0f, 0.0f}));
    EXPECT_EQ(placed.resource, m_resources->GetSprite(u"bg"));
    EXPECT_EQ(m_resources->GetSprite(u"bg")->GetFile(), u"bg.png");
    EXPECT_FALSE(bg.GetWait());
    ASSERT_EQ(bg.GetChildren().size(), 3u);
    const auto& fade = CommandAt<ModifyOpacityCommand>(0, 0);
    EXPECT_EQ(std::vector({fade.GetFrom(), fade.GetTo(), fade.GetDuration()}), std::vector({0.0f, 1.0f, 0.5f}));
    const auto& zoom = CommandAt<ModifyZoomCommand>(0, 1);
    EXPECT_TRUE(zoom.KeepsCentre()) << "zoomc wins over zoom";
    EXPECT_EQ(std::vector({zoom.GetFactor(), zoom.GetDuration()}), std::vector({1.5f, 0.25f}));
    EXPECT_NE(CommandAt<ModifyActionCommand>(0, 2).GetAction(), nullptr);

    const CreateNodeCommand::Placement& walk = CommandAt<CreateNodeCommand>(1).GetPlacement();
    EXPECT_EQ(walk.group, u"animation");
    EXPECT_EQ(walk.resource, m_resources->GetAnimation(u"walk"));
    const float keep = CreateNodeCommand::kKeepPosition;
    EXPECT_EQ(std::vector({walk.x, walk.y, walk.opacity, static_cast<float>(walk.layer)}),
              std::vector({keep, keep, 1.0f, 2.0f}));
    EXPECT_TRUE(CommandAt<CreateNodeCommand>(1).GetWait());
    EXPECT_EQ(CommandAt<CreateNodeCommand>(2).GetPlacement().layer, 1);
    EXPECT_FALSE(CommandAt<ModifyZoomCommand>(2, 0).KeepsCentre());

    const auto move = [this](std::size_t index) {
        const auto& m = CommandAt<ModifyPositionCommand>(index);
        return std::vector(
            {m.GetFrom().x, m.GetFrom().y, m.GetTo().x, m.GetTo().y, m.GetDuration(), m.GetWait() * 1.0f});
    };
    EXPECT_EQ(CommandAt<ModifyPositionCommand>(3).GetNode(), u"hero");
    EXPECT_EQ(move(3), std::vector({0.0f, 0.0f, 100.0f, 200.0f, 1.5f, 1.0f}));
    EXPECT_EQ(move(4), std::vector({1.0f, 2.0f, 0.0f, 0.0f, 0.0f, 0.0f}));
    EXPECT_EQ(CommandAt<ClearCommand>(5).GetLayer(), 3);
}

TEST_F(NodeStatementsTest, PlainDefinitionsNeedNoSceneButPlacingOnesDoAndBadTextIsReported)
{
    EXPECT_EQ(Run({u"object(bg, file=bg.png)", u"animation(walk)", u"scene", u"object(bg, action=goto(x))"}), "");
    EXPECT_TRUE(m_scene->GetCommands().empty()) << "an action alone places nothing";
    EXPECT_EQ(m_script.parser->CurrentResource(), u"bg");
    const std::string& badNumber = TestTools::kBadNumber;
    const std::pair<std::u16string_view, std::string> cases[] = {
        {u"object(bg, opacity=50)", badNumber},
        {u"object(bg, layer=top)", badNumber},
        {u"object(bg, align=10)", badNumber},
        {u"animation(a, zoomc=50)", badNumber},
        {u"move(hero, start=10)", badNumber},
        {u"move(hero, time=1s)", badNumber},
        {u"object(bg, layer=0)", "Node command out of scene"},
        {u"animation(walk, align=1:2)", "Node command out of scene"}};
    for (const auto& [line, error] : cases) {
        const bool outside = error != badNumber;
        EXPECT_EQ(outside ? Run({line}) : Run({u"scene", line}), error) << TextCodec::WideToUtf8(std::u16string(line));
    }
    EXPECT_NE(Run({u"move(hero)"}), "");
    EXPECT_NE(Run({u"clear(all)"}), "");
    m_resources.reset();
    EXPECT_EQ(Run({u"scene", u"animation(walk, layer=1)"}),
              "animation cannot be read before the game's managers exist");
}

} // namespace
} // namespace Vel
