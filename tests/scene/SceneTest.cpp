#include "SceneTestTools.h"
#include "scene/Layer.h"
#include "scene/RunCommandAction.h"
#include "scene/RunFunctionAction.h"
#include "scene/SleepAnimator.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

using TestTools::DrawList;
using TestTools::kNowhere;
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
    EXPECT_EQ(scene.FindNode(u"early"), again);
}

TEST(SceneTest, TopLayerGetsTheMouseFirstAndWithinALayerTheLowestNode)
{
    Scene scene;
    Names clicks;
    Names drawn;
    std::vector<std::unique_ptr<TestTools::TestPicture>> pictures;
    for (const auto& [name, layer] : {std::pair{u"low", 2}, {u"mid", 2}, {u"top", 5}, {u"base", 0}}) {
        SceneNode* node = TestTools::PlaceNode(scene, name, layer, 10.0f);
        pictures.push_back(std::make_unique<TestTools::TestPicture>(10.0f, 10.0f, &drawn));
        pictures.back()->SetName(name);
        node->SetResource(pictures.back().get());
        node->SetAction(
            std::make_shared<RunFunctionAction>(Callback<void()>([&clicks, n = name] { clicks.push_back(n); })));
    }
    scene.Update(0.0f, kNowhere);
    scene.Render();
    EXPECT_EQ(drawn, (Names{u"base", u"low", u"mid", u"top"}));
    EXPECT_TRUE(scene.Update(0.0f, TestTools::At(5.0f, 5.0f, true)));
    EXPECT_EQ(clicks, Names{u"top"});
    scene.FindNode(u"top")->Hide();
    scene.Update(0.0f, TestTools::At(5.0f, 5.0f, true));
    EXPECT_EQ(clicks, (Names{u"top", u"low"})) << "drawn below, yet first to get the mouse";
}

TEST(SceneTest, GroupsComeFromNamesAndRemovingOneRemovesEveryLiveMember)
{
    Scene scene;
    scene.CreateNode(u"character_anna", 1, {});
    scene.CreateNode(u"character_bob_smiling", 1, {});
    scene.CreateNode(u"bg", 0, {});
    scene.CreateNode(u"sky", 0, u"character");
    scene.Update(0.0f, kNowhere);
    const Names* characters = scene.GetGroupManager().Find(u"character");
    ASSERT_NE(characters, nullptr);
    EXPECT_EQ(*characters, (Names{u"character_anna", u"character_bob_smiling", u"sky"}));
    EXPECT_EQ(scene.GetGroupManager().GetGroups().size(), 1u) << "a name without '_' joins no group";

    scene.RemoveGroup(u"character");
    scene.Update(0.0f, kNowhere);
    scene.CreateNode(u"character_anna", 1, {});
    scene.Update(0.0f, kNowhere);
    scene.RemoveGroup(u"character");
    scene.Update(0.0f, kNowhere);
    EXPECT_EQ(scene.FindNode(u"character_anna"), nullptr) << "a recreated member goes with the next removal";
    EXPECT_EQ(scene.GetNodes().size(), 1u);
}

TEST(SceneTest, LayerTargetsNameALayerNumber)
{
    EXPECT_EQ(Layer::NumberFromTarget(u"layer:3"), 3);
    EXPECT_EQ(Layer::NumberFromTarget(u"  layer:3 \t"), 3);
    EXPECT_EQ(Layer::NumberFromTarget(u"layer: -1"), -1);
    EXPECT_EQ(Layer::NumberFromTarget(u"layer:3x"), 0);
    EXPECT_EQ(Layer::NumberFromTarget(u"layer:99999999999"), 0);
    EXPECT_EQ(Layer::NumberFromTarget(u"Layer:3"), std::nullopt);
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
    EXPECT_TRUE(scene.Update(0.0f, TestTools::At(5.0f, 5.0f, true)));
    EXPECT_TRUE(scene.GetLayers().empty());
    scene.Update(0.0f, kNowhere);
    EXPECT_TRUE(scene.GetNodes().empty());
}

} // namespace
} // namespace Vel
