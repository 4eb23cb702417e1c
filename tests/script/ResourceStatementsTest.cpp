#include "script/ResourceStatements.h"

#include "HeadlessHge.h"
#include "ScriptRun.h"
#include "commands/ModifyOpacityCommand.h"
#include "commands/ModifyZoomCommand.h"
#include "dialogue/DialogManager.h"
#include "resources/Animation.h"
#include "resources/Character.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Vel {
namespace {

using TestTools::kBadNumber;

// A command by its description, a node command also with the kinds of its attached commands in order.
std::string Describe(const Command* command)
{
    std::string text = TextCodec::WideToUtf8(command->GetDescription());
    for (const auto& child : command->GetChildren())
        text += dynamic_cast<const ModifyOpacityCommand*>(child.get()) ? " +fade"
                : dynamic_cast<const ModifyZoomCommand*>(child.get())  ? " +zoom"
                                                                       : " +other";
    return text + (command->GetWait() ? "" : " nowait");
}

// The statements that define pictures and characters, and those that place them on the stage as nodes.
class ResourceStatementsTest : public ::testing::Test
{
protected:
    std::string Run(std::initializer_list<std::u16string_view> lines) { return m_script.Run(lines); }
    // The commands of the named scene, described and joined by "; ".
    std::string Commands(const char16_t* scene)
    {
        std::string text;
        for (const Command* command : m_scenes.FindScene(scene)->GetCommands())
            text += (text.empty() ? "" : "; ") + Describe(command);
        return text;
    }

    TestTools::HeadlessHge m_hge;
    std::optional<ResourceManager> m_resources{std::in_place};
    DialogManager m_dialogs;
    ScenesManager m_scenes;
    TestTools::ScriptRun m_script;
};
using NodeStatementsTest = ResourceStatementsTest;
using CharacterStatementsTest = ResourceStatementsTest;

TEST_F(ResourceStatementsTest, ObjectAndAnimationBlocksDefinePictures)
{
    EXPECT_EQ(Run({u"object(bg, file=pictures/bg.png)", u"object(bg)", u"beginanim(walk)", u"frame(w1.png, 100)",
                   u"frame(w2.png, 250)", u"end", u"begin anim(walk)", u"frame(w3.png, 0)", u"end",
                   u"object(later, file=l.png)"}),
              "");
    EXPECT_EQ(m_resources->GetSprite(u"bg")->GetFile(), u"pictures/bg.png") << "no file keeps the one set before";
    EXPECT_EQ(m_script.parser->CurrentResource(), u"later");
    EXPECT_EQ(m_resources->GetAnimation(u"walk")->GetFrameCount(), 3u)
        << "a second block under the name adds to the same animation";
}

TEST_F(ResourceStatementsTest, BlockStatementsNeedTheirOwnOpenBlockAndStrictNumbers)
{
    for (const char16_t* statement : {u"pose(calm)", u"avatar(default=x)", u"dialog(textbox=main)"}) {
        const std::u16string_view text(statement);
        const std::string name = TextCodec::WideToUtf8(text.substr(0, text.find(u'(')));
        EXPECT_EQ(Run({statement}), name + " needs an open animation or character block");
        EXPECT_EQ(Run({u"beginanim(walk)", statement, u"end"}),
                  name + " needs an open character block (the innermost open block is an animation block)");
        EXPECT_EQ(Run({u"beginscene(s)", statement, u"end"}),
                  name + " needs an open animation or character block (the innermost open block is a scene, "
                         "interface or menu block)");
    }
    EXPECT_EQ(Run({u"beginanim(a)", u"end", u"frame(a.png, 100)"}), "frame needs an open animation or character block");
    EXPECT_EQ(Run({u"begincharacter(anna)", u"frame(a.png, 100)"}),
              "frame needs an open animation block (the innermost open block is a character block)");
    EXPECT_EQ(Run({u"begincharacter(anna)", u"avatar(align=5)"}), kBadNumber + "align=5 is not a pair x:y");
    for (const char16_t* frame : {u"frame(a.png)", u"frame(a.png, 1 00)", u"frame(a.png, 10ms)",
                                  u"frame(a.png, 100, align=10)", u"frame(a.png, 100, align=x:1)"}) {
        EXPECT_EQ(Run({u"beginanim(a)", frame}).substr(0, kBadNumber.size()), kBadNumber)
            << TextCodec::WideToUtf8(frame);
    }
    EXPECT_EQ(m_resources->GetAnimation(u"a")->GetFrameCount(), 0u);

    m_resources.reset();
    EXPECT_EQ(Run({u"object(bg, file=bg.png)"}), "object cannot be read before the game's managers exist");
    EXPECT_EQ(Run({u"beginscene(s)", u"animation(walk, layer=1)"}),
              "animation cannot be read before the game's managers exist");
}

TEST_F(NodeStatementsTest, StatementsBuildTheirCommandsWithAttachedCommandsInOrder)
{
    ASSERT_EQ(Run({u"beginscene(s)",
                   u"object(bg, file=bg.png, layer=0, align=10:-20.5, opacity=30:100:500, zoom=50:100, "
                   u"zoomc=150:250, action=goto(x), wait=no)",
                   u"animation(walk, layer=2)", u"object(door, zoom=200:1000)", u"object(bg, action=goto(x))",
                   u"move(hero, wait=no)", u"clear( layer:3 )", u"end"}),
              "");
    EXPECT_EQ(Commands(u"s"), "Modify node-bg +fade +zoom +other nowait; Modify node-walk; Modify node-door +zoom; "
                              "Move-hero nowait; Undefined")
        << "an action alone places nothing";
    EXPECT_EQ(m_script.parser->CurrentResource(), u"bg");

    const std::pair<std::u16string_view, std::string> cases[] = {
        {u"object(bg, opacity=50)", kBadNumber + "opacity=50 is not three numbers start:end:time"},
        {u"object(bg, layer=top)", kBadNumber + "layer=top is not a whole number"},
        {u"object(bg, align=10)", kBadNumber + "align=10 is not a pair x:y"},
        {u"animation(a, zoomc=50)", kBadNumber + "zoomc=50 is not a pair target:time"},
        {u"move(hero, start=10)", kBadNumber + "start=10 is not a pair x:y"},
        {u"move(hero, time=1s)", kBadNumber + "time=1s is not a number of milliseconds"},
        {u"object(bg, layer=0)", "Node command out of scene"},
        {u"animation(walk, align=1:2)", "Node command out of scene"}};
    for (const auto& [line, error] : cases) {
        const bool outside = !error.starts_with(kBadNumber);
        EXPECT_EQ(outside ? Run({line}) : Run({u"beginscene(t)", line}), error) << TextCodec::WideToUtf8(line);
    }
    EXPECT_EQ(Run({u"object(bg, file=bg.png)", u"animation(walk)"}), "") << "plain definitions need no scene";
    EXPECT_NE(Run({u"move(hero)"}), "");
    EXPECT_NE(Run({u"clear(all)"}), "");
}

TEST_F(CharacterStatementsTest, CharacterStatementSwitchesThePoseAndPlacesOnlyWhenAsked)
{
    // Every value of the block left out: no styles, an avatar without a picture.
    ASSERT_EQ(Run({u"begincharacter(anna)", u"pose(calm, idle=anna idle)", u"pose(glad, idle=anna smile)", u"avatar",
                   u"dialog(textbox=main)", u"end", u"character(anna)"}),
              "")
        << "without pose and placement the statement only names the character";
    Character* anna = m_resources->GetCharacter(u"anna");
    EXPECT_EQ(anna->GetCurrentPose(), nullptr);
    // A pose places the character, which needs a scene; the pose is taken at once all the same.
    EXPECT_EQ(Run({u"character(anna, pose=glad)"}), "Node command out of scene");
    EXPECT_EQ(anna->GetCurrentPose(), anna->FindPose(u"glad"));

    ASSERT_EQ(Run({u"beginscene(s)", u"character(anna, pose=calm, layer=3, opacity=0:100:500)", u"character(anna)",
                   u"character(anna, pose=nothing)", u"end"}),
              "");
    EXPECT_EQ(anna->GetCurrentPose(), anna->FindPose(u"calm")) << "an unknown pose changes nothing";
    EXPECT_EQ(Commands(u"s"), "Modify node-anna +fade +other; Modify node-anna +other")
        << "a statement without pose or placement builds nothing; the pose change comes last";
    EXPECT_EQ(Run({u"character(anna, layer=2)"}), "Node command out of scene");
    EXPECT_EQ(Run({u"character(anna, align=5)"}), kBadNumber + "align=5 is not a pair x:y");
}

} // namespace
} // namespace Vel
