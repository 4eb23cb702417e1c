#include "HeadlessHge.h"
#include "ScriptRun.h"
#include "commands/ChangePoseCommand.h"
#include "commands/CreateNodeCommand.h"
#include "commands/ModifyOpacityCommand.h"
#include "dialogue/Dialog.h"
#include "dialogue/DialogManager.h"
#include "resources/Avatar.h"
#include "resources/Character.h"
#include "resources/Pose.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <tuple>

namespace Vel {
namespace {

using TestTools::kBadNumber;

class CharacterStatementsTest : public ::testing::Test
{
protected:
    CharacterStatementsTest()
    {
        for (const char16_t* picture : {u"anna idle", u"anna talk", u"anna face", u"anna smile"})
            EXPECT_NE(m_resources.GetSprite(picture), nullptr);
    }

    std::string Parse(std::initializer_list<std::u16string_view> lines) { return m_script.Run(lines); }
    Resource* Picture(const char16_t* name) { return m_resources.FindResource(name); }

    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    DialogManager m_dialogs;
    ScenesManager m_scenes;
    TestTools::ScriptRun m_script;
};

TEST_F(CharacterStatementsTest, CharacterBlocksFillPosesAvatarAndDialog)
{
    ASSERT_EQ(Parse({u"style(says)", u"style(names)", u"begincharacter(anna)",
                     u"pose(calm, idle=anna idle, speak=anna talk, avatar=anna smile)", u"pose(still, idle=anna idle)",
                     u"avatar(align=5:380, default=anna face)",
                     u"dialog(textbox=main, namebox=name, namestyle=names, style=says, name=Anna)", u"end",
                     u"begincharacter(bob)", u"avatar", u"dialog(textbox=main)", u"end"}),
              "");
    Character* anna = m_resources.GetCharacter(u"anna");
    const Pose* calm = anna->FindPose(u"calm");
    ASSERT_NE(calm, nullptr);
    EXPECT_EQ(calm->GetIdlePicture(), Picture(u"anna idle"));
    EXPECT_EQ(calm->GetSpeakPicture(), Picture(u"anna talk"));
    EXPECT_EQ(calm->GetAvatarName(), u"anna smile");
    EXPECT_EQ(anna->FindPose(u"still")->GetSpeakPicture(), Picture(u"anna idle")) << "speaks with its idle picture";
    ASSERT_NE(anna->GetAvatar(), nullptr);
    EXPECT_EQ(anna->GetAvatar()->GetPicture(), Picture(u"anna face"));
    EXPECT_FLOAT_EQ(anna->GetAvatar()->GetY(), 380.0f);

    const auto* dialog = dynamic_cast<const Dialog*>(anna->GetDialog());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->GetSpeakerName(), u"Anna");
    EXPECT_EQ(dialog->GetNamebox(), m_dialogs.FindTextbox(u"name"));
    EXPECT_EQ(dialog->GetTextStyle(), m_resources.GetStyle(u"says"));
    EXPECT_EQ(dialog->GetNameStyle(), m_resources.GetStyle(u"names"));

    // Every value left out: no styles, an avatar without a picture.
    Character* bob = m_resources.GetCharacter(u"bob");
    ASSERT_NE(bob->GetAvatar(), nullptr);
    EXPECT_EQ(bob->GetAvatar()->GetPicture(), nullptr);
    const auto* plain = dynamic_cast<const Dialog*>(bob->GetDialog());
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetTextStyle(), nullptr);
}

TEST_F(CharacterStatementsTest, BlockStatementsNeedAnOpenCharacter)
{
    for (const char16_t* statement : {u"pose(calm)", u"avatar(default=x)", u"dialog(textbox=main)"}) {
        const std::u16string_view text(statement);
        const std::string name = TextCodec::WideToUtf8(text.substr(0, text.find(u'(')));
        EXPECT_EQ(Parse({statement}), name + " needs an open animation or character block");
        EXPECT_EQ(Parse({u"beginanim(walk)", statement, u"end"}),
                  name + " needs an open character block (the innermost open block is an animation block)");
        EXPECT_EQ(Parse({u"beginscene(s)", statement, u"end"}),
                  name + " needs an open animation or character block (the innermost open block is a scene, "
                         "interface or menu block)");
    }
    EXPECT_EQ(Parse({u"begincharacter(anna)", u"avatar(align=5)"}), kBadNumber);
    EXPECT_EQ(Parse({u"begincharacter(anna)", u"frame(a.png, 100)"}),
              "frame needs an open animation block (the innermost open block is a character block)");
}

TEST_F(CharacterStatementsTest, CharacterStatementSwitchesThePoseAndPlacesTheCharacter)
{
    ASSERT_EQ(Parse({u"begincharacter(anna)", u"pose(calm, idle=anna idle)", u"pose(glad, idle=anna smile)", u"end",
                     u"character(anna)"}),
              "")
        << "without pose and placement the statement only names the character";
    Character* anna = m_resources.GetCharacter(u"anna");
    EXPECT_EQ(anna->GetCurrentPose(), nullptr);
    // A pose places the character, which needs a scene; the pose is taken at once all the same.
    EXPECT_EQ(Parse({u"character(anna, pose=glad)"}), "Node command out of scene");
    EXPECT_EQ(anna->GetCurrentPose(), anna->FindPose(u"glad"));

    ASSERT_EQ(Parse({u"beginscene(s)", u"character(anna, pose=calm, layer=3, align=100:50, opacity=0:100:500)",
                     u"character(anna, pose=glad)", u"character(anna, align=1:2, wait=no)", u"character(anna)",
                     u"character(anna, pose=nothing)", u"end"}),
              "");
    EXPECT_EQ(anna->GetCurrentPose(), anna->FindPose(u"glad")) << "an unknown pose changes nothing";
    const std::vector<Command*> commands = m_scenes.FindScene(u"s")->GetCommands();
    ASSERT_EQ(commands.size(), 4u) << "a statement without pose or placement builds nothing";

    const auto& placed = dynamic_cast<const CreateNodeCommand&>(*commands[0]);
    const CreateNodeCommand::Placement& place = placed.GetPlacement();
    EXPECT_EQ(std::tuple(place.group, place.resource, place.layer, place.x, place.opacity),
              std::tuple(u"character", anna, 3, 100.0f, 0.0f));
    ASSERT_EQ(placed.GetChildren().size(), 2u);
    EXPECT_NE(dynamic_cast<const ModifyOpacityCommand*>(placed.GetChildren()[0].get()), nullptr);
    const auto* pose = dynamic_cast<const ChangePoseCommand*>(placed.GetChildren()[1].get());
    ASSERT_NE(pose, nullptr) << "the pose change comes last";
    EXPECT_EQ(pose->GetCharacter() + u"/" + pose->GetPose(), u"anna/calm");

    // The pose alone places the node where it is.
    const auto& posed = dynamic_cast<const CreateNodeCommand&>(*commands[1]);
    EXPECT_FLOAT_EQ(posed.GetPlacement().x, CreateNodeCommand::kKeepPosition);
    ASSERT_EQ(posed.GetChildren().size(), 1u);
    EXPECT_EQ(dynamic_cast<const ChangePoseCommand&>(*posed.GetChildren()[0]).GetPose(), u"glad");

    const auto& moved = dynamic_cast<const CreateNodeCommand&>(*commands[2]);
    EXPECT_TRUE(moved.GetChildren().empty());
    EXPECT_FALSE(moved.GetWait());
    EXPECT_EQ(dynamic_cast<const CreateNodeCommand&>(*commands[3]).GetChildren().size(), 1u);

    EXPECT_EQ(Parse({u"character(anna, layer=2)"}), "Node command out of scene");
    EXPECT_EQ(Parse({u"character(anna, align=5)"}), kBadNumber);
}

} // namespace
} // namespace Vel
