#include "HeadlessHge.h"
#include "SceneTestTools.h"
#include "TempFolder.h"
#include "core/TextCodec.h"
#include "data/BinarySerializer.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "scene/Layer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Vel {
namespace {

using TestTools::DrawList;

std::u16string DataFile(const std::string& name)
{
    return TextCodec::Utf8ToWide(std::string(VEL_TEST_DATA) + "/" + name);
}

class SceneSaveTest : public ::testing::Test
{
protected:
    SceneSaveTest()
    {
        m_room = m_resources.GetSprite(u"room");
        m_lamp = m_resources.GetSprite(u"lamp");
    }

    std::u16string SaveFile() const { return TextCodec::Utf8ToWide(m_folder.File("scene.sav")); }
    void Save(const Scene& scene, const std::u16string& file)
    {
        BinarySerializer writer(file, BinarySerializer::Direction::Write);
        scene.Save(writer);
        ASSERT_TRUE(writer.Commit());
    }
    bool Load(Scene& scene, const std::u16string& file)
    {
        BinarySerializer reader(file, BinarySerializer::Direction::Read);
        return scene.Load(reader);
    }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    Sprite* m_room = nullptr;
    Sprite* m_lamp = nullptr;
};

TEST_F(SceneSaveTest, AStoredSaveLoadsWholeAndIsWrittenBackByteForByte)
{
    Scene scene;
    ASSERT_TRUE(Load(scene, DataFile("scene.sav")));
    EXPECT_EQ(scene.GetPosition(), 4);
    EXPECT_EQ(scene.FindNode(u"bg_room")->GetResource(), m_room);
    const SceneNode* lit = scene.FindNode(u"button_lit");
    EXPECT_EQ(lit->GetResource(), m_lamp);
    EXPECT_EQ(DrawList(scene, 3), (std::vector<std::u16string>{u"button", u"button_lit"}));

    // Every field read is written back, in the same order.
    Save(scene, SaveFile());
    EXPECT_EQ(m_folder.Read("scene.sav"), m_folder.Read(std::string(VEL_TEST_DATA) + "/scene.sav"));

    TestTools::CurrentSceneScope current(scene);
    scene.Update(0.0f, TestTools::kNowhere);
    EXPECT_EQ(scene.FindNode(u"button")->GetHoverTarget(), lit) << "target names resolve at the first mouse test";
}

TEST_F(SceneSaveTest, SavesTheStageAsTheNextUpdateWillHaveIt)
{
    Scene scene;
    scene.CreateNode(u"character_hero", 2, {})->SetResource(m_lamp);
    scene.CreateNode(u"old", 2, {});
    scene.Update(0.0f, TestTools::kNowhere);
    scene.RemoveNode(u"old");
    scene.CreateNode(u"fresh", 2, u"props")->SetHoverTarget(scene.FindNode(u"character_hero"));
    Save(scene, SaveFile());

    Scene loaded;
    ASSERT_TRUE(Load(loaded, SaveFile()));
    EXPECT_EQ(DrawList(loaded, 2), (std::vector<std::u16string>{u"character_hero", u"fresh"}));
    EXPECT_EQ(loaded.FindNode(u"old"), nullptr) << "a removed node does not come back";
    EXPECT_EQ(loaded.FindNode(u"character_hero")->GetResource(), m_lamp);
    EXPECT_EQ(loaded.FindNode(u"fresh")->GetHoverTargetName(), u"character_hero");
    EXPECT_EQ(loaded.GetGroupManager().GetGroups(), scene.GetGroupManager().GetGroups());
}

TEST_F(SceneSaveTest, DamagedSavesFailWithoutCrashingAndLeaveTheSceneEmpty)
{
    const std::string good = m_folder.Read(std::string(VEL_TEST_DATA) + "/scene.sav");
    std::vector<std::u16string> damaged = {DataFile("scene_truncated.sav"), DataFile("scene_huge_count.sav")};
    for (std::size_t length = 0; length < good.size(); ++length) {
        m_folder.Write("cut" + std::to_string(length) + ".sav", good.substr(0, length));
        damaged.push_back(TextCodec::Utf8ToWide(m_folder.File("cut" + std::to_string(length) + ".sav")));
    }
    for (const std::u16string& file : damaged) {
        Scene scene;
        scene.CreateNode(u"before", 0, {});
        EXPECT_FALSE(Load(scene, file)) << TextCodec::WideToUtf8(file);
        EXPECT_TRUE(scene.GetNodes().empty() && scene.GetLayers().empty());
    }

    // Layer entries naming no node, or a node already placed, are skipped; a node placed in two layers is taken
    // out of both.
    Scene scene;
    ASSERT_TRUE(Load(scene, DataFile("scene_unknown_names.sav")));
    EXPECT_EQ(DrawList(scene, 3), std::vector<std::u16string>{u"button"});
    EXPECT_EQ(DrawList(scene, 0), (std::vector<std::u16string>{u"bg_room", u"button"}));
    scene.RemoveNode(u"button");
    EXPECT_EQ(DrawList(scene, 0), std::vector<std::u16string>{u"bg_room"});
    EXPECT_TRUE(DrawList(scene, 3).empty());
    scene.Update(0.0f, Scene::Mouse{1.0f, 1.0f, true});
    scene.Render();
}

} // namespace
} // namespace Vel
