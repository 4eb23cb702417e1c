#include "script/SceneStatements.h"

#include "ScriptRun.h"
#include "scene/Command.h"
#include "scene/CommandContainer.h"
#include "scene/RunCommandAction.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace Vel {
namespace {

using Tags = std::vector<std::u16string>;

// Records that it ran; destroyed commands leave their tag in the list of the dead.
struct TaggedCommand : Command
{
    TaggedCommand(std::u16string tag, Tags& ran, Tags& dead) : m_tag(std::move(tag)), m_ran(ran), m_dead(dead) {}
    ~TaggedCommand() override { m_dead.push_back(m_tag); }
    void Execute(Scene& /*scene*/) override
    {
        m_ran.push_back(m_tag);
        Complete();
    }
    std::u16string m_tag;
    Tags& m_ran;
    Tags& m_dead;
};

class SceneStatementsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // "cmd(tag)" stands for the command statements: it adds one command to the open command container.
        m_script.setup = [this](ParseManager& parser) {
            parser.AddHandler(u"cmd", [this, &parser](CommandLine& line) {
                auto& container = parser.TopBlockAs<CommandContainer>(BlockKind::CommandContainer, u"cmd");
                container.AddCommand(std::make_unique<TaggedCommand>(line.GetArgument(0), m_ran, m_dead));
            });
        };
    }

    Tags m_ran;
    Tags m_dead;
    TestTools::ScriptRun m_script;
};

TEST_F(SceneStatementsTest, InterfaceBlocksCollectCommandsAndScenesShowThem)
{
    ScenesManager scenes;
    EXPECT_EQ(m_script.Run({u"begininterface(hud)", u"cmd(h1)", u"end", u"beginscene(intro)", u"interface(hud)",
                            u"interface(nothing)", u"cmd(i1)", u"end"}),
              "");
    EXPECT_EQ(scenes.FindScene(u"hud"), nullptr) << "an interface is no story scene";

    // The unknown interface changes nothing and the scene goes on.
    scenes.StartScene(u"intro", SceneStart::Reset);
    EXPECT_EQ(m_ran, (Tags{u"h1", u"i1"}));
    EXPECT_EQ(scenes.GetShownInterfaces(), Tags{u"hud"});
}

TEST_F(SceneStatementsTest, ActionTextsKeepTheLastCommandTheirStatementAdded)
{
    ScenesManager scenes;
    ASSERT_EQ(m_script.Run({u"beginscene(here)", u"end"}), "");
    m_script.parser->RegisterFunctions();
    const std::shared_ptr<Action> action = m_script.parser->ParseAction(u"cmd(clicked)");
    ASSERT_NE(action, nullptr);
    ASSERT_NE(dynamic_cast<RunCommandAction*>(action.get()), nullptr);
    EXPECT_TRUE(m_dead.empty());
    // No scene is current yet: the click does nothing.
    action->Run();
    EXPECT_TRUE(m_ran.empty());
    scenes.StartScene(u"here", SceneStart::Reset);
    action->Run();
    action->Run();
    EXPECT_EQ(m_ran, (Tags{u"clicked", u"clicked"}));

    // A statement that adds two commands: the action keeps the last one, the other is freed with the container.
    m_script.parser->AddHandler(u"twice", [this](CommandLine& line) {
        auto& container = m_script.parser->TopBlockAs<CommandContainer>(BlockKind::CommandContainer, u"twice");
        container.AddCommand(std::make_unique<TaggedCommand>(line.GetArgument(0), m_ran, m_dead));
        container.AddCommand(std::make_unique<TaggedCommand>(line.GetArgument(1), m_ran, m_dead));
    });
    std::shared_ptr<Action> two = m_script.parser->ParseAction(u"twice(first, second)");
    EXPECT_EQ(m_dead, (Tags{u"first"}));
    two->Run();
    EXPECT_EQ(m_ran.back(), u"second");
    two.reset();
    EXPECT_EQ(m_dead, (Tags{u"first", u"second"}));

    // "sound" does nothing but is known; "end" ends the demo's first run.
    ASSERT_NE(m_script.parser->ParseAction(u"sound"), nullptr);
    m_script.parser->ParseAction(u"sound")->Run();
    EXPECT_TRUE(scenes.IsRunning());
}

TEST_F(SceneStatementsTest, TriggerDeclarationsMakeTriggersPersistentWithoutTouchingValues)
{
    TriggerManager triggers;
    triggers.Set(u"met_anna", u"yes");
    EXPECT_EQ(m_script.Run({u"sys_trigger(met_anna)", u"gal_trigger(cg_beach, 1)", u"sys_trigger(ending)",
                            u"gal_trigger(ending)", u"sys_trigger(Ending)"}),
              "");
    const auto kindOf = [&triggers](const std::u16string& name) { return triggers.Find(name)->kind; };
    // A declaration keeps a value set before it, a second argument is no initial value, the later one wins.
    EXPECT_EQ(std::vector({kindOf(u"met_anna"), kindOf(u"cg_beach"), kindOf(u"ending"), kindOf(u"Ending")}),
              std::vector({TriggerKind::System, TriggerKind::Gallery, TriggerKind::Gallery, TriggerKind::System}));
    EXPECT_EQ(triggers.Get(u"met_anna") + u"|" + triggers.Get(u"cg_beach"), u"yes|");
    EXPECT_EQ(triggers.Triggers().size(), 4u);
}

} // namespace
} // namespace Vel
