// Saves across the versions of their layout: from version 2 on a save keeps the characters' poses, a save made
// before saves had a version loads as it always did, and a save the engine cannot read is refused whole, with its
// reason.
#include "saves/SaveGames.h"

#include "HeadlessHge.h"
#include "ProcessRecordGuard.h"
#include "TempFolder.h"
#include "app/GameSystems.h"
#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "resources/Character.h"
#include "scene/Command.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

namespace Vel {
namespace {

std::string Int(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    return {static_cast<char>(bits & 0xFF), static_cast<char>(bits >> 8 & 0xFF), static_cast<char>(bits >> 16 & 0xFF),
            static_cast<char>(bits >> 24 & 0xFF)};
}

std::string Wide(std::u16string_view text)
{
    std::string bytes = Int(static_cast<std::int32_t>(text.size() * 2));
    for (const char16_t unit : text) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// A step of the story that waits for ever.
class WaitCommand : public Command
{
};

// The story of the stored version 1 save, "hall" (3 steps) and the interface "hud_a", and the characters "hero"
// (calm or angry) and "elin", who never takes a pose.
class SaveVersionTest : public ::testing::Test
{
protected:
    SaveVersionTest()
    {
        UserFiles::SetUserFolderOverride(m_folder.Path().string());
        UserFiles::CreateFolders();
        Scene* hall = m_systems.scenes.CreateScene(u"hall");
        for (int step = 0; step < 3; ++step)
            hall->AddCommand(std::make_unique<WaitCommand>());
        m_systems.scenes.CreateInterfaceScene(u"hud_a")->AddCommand(std::make_unique<WaitCommand>());
        for (const char16_t* pose : {u"calm", u"angry"})
            Hero().AddPose(pose, u"", u"", u"");
        m_systems.resources.GetCharacter(u"elin")->AddPose(u"shy", u"", u"", u"");
        Hero().SetPose(u"calm");
        m_systems.triggers.Set(u"door", u"open");
        m_systems.scenes.StartScene(u"hall", SceneStart::Reset);
    }

    Character& Hero() { return *m_systems.resources.GetCharacter(u"hero"); }
    std::string Save()
    {
        const std::string path = TextCodec::WideToUtf8(SaveGames::NextSavePath());
        m_systems.saves.Save();
        return m_folder.Read(path);
    }
    // Everything a load changes, in a form that shows what differs.
    std::string State()
    {
        const Scene* scene = m_systems.scenes.GetCurrentScene();
        return TextCodec::WideToUtf8(m_systems.scenes.GetCurrentName()) + " at " +
               std::to_string(scene != nullptr ? scene->GetPosition() : -1) + ", door " +
               TextCodec::WideToUtf8(m_systems.triggers.Get(u"door")) + ", interfaces " +
               std::to_string(m_systems.scenes.GetShownInterfaces().size()) + ", hero " +
               TextCodec::WideToUtf8(Hero().GetPoseName());
    }
    bool Load(const std::string& path, std::string& error)
    {
        return m_systems.saves.Load(TextCodec::Utf8ToWide(path), error);
    }

    TestTools::ProcessRecordGuard m_records;
    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    HgeManager m_hgeManager{m_folder.File("engine.log")};
    GameSystems m_systems;
};

TEST_F(SaveVersionTest, PosesComeBackOlderSavesLoadAsBeforeAndUnreadableOnesChangeNothing)
{
    const std::string bytes = Save();
    const std::string header = Int(-1) + Int(2);
    const std::string poses = Int(1) + Wide(u"hero") + Wide(u"calm"); // only the characters that have a pose
    const std::string body = bytes.substr(8, bytes.size() - 8 - poses.size());
    ASSERT_EQ(header + body + poses, bytes);
    Hero().SetPose(u"angry");
    m_systems.triggers.Set(u"door", u"closed");
    const std::string before = State();

    const std::pair<std::string, std::string> refused[] = {
        {Int(-1) + Int(3) + body + poses,
         "it was made by a newer version of the engine (save version 3; this one reads up to version 2)"},
        {Int(-1) + Int(1) + body, "the save version 1 does not exist"},
        {Int(-1) + Int(-7) + body + poses, "the save version -7 does not exist"},
        {Int(-1) + Int(2).substr(0, 3), "the version of the save is damaged"},
        {header + body, "the number of character poses is damaged"},
        {header + body + Int(-1), "the number of character poses is damaged"},
        {header + body + Int(0x7FFFFFFF), "the character poses are damaged"},
        {header + body + Int(1) + Wide(u"elin"), "the character poses are damaged"},
        {header + body + Int(1) + Wide(u"nobody") + Wide(u"calm"), "the character \"nobody\" has no pose \"calm\""},
        {header + body + Int(1) + Wide(u"hero") + Wide(u"sad"), "the character \"hero\" has no pose \"sad\""},
        {bytes + "!", "data follows the character poses"},
        {body + poses, "data follows the playlist name"},
    };
    std::string error;
    for (const auto& [content, reason] : refused) {
        m_folder.Write("bad.sav", content);
        EXPECT_FALSE(Load(m_folder.File("bad.sav"), error)) << reason;
        EXPECT_EQ(error, reason);
        EXPECT_EQ(State(), before) << reason;
    }

    m_folder.Write("calm.sav", bytes);
    ASSERT_TRUE(Load(m_folder.File("calm.sav"), error)) << error;
    EXPECT_EQ(State(), "hall at 0, door open, interfaces 0, hero calm");
    // Made by the engine before saves had a version, in "hall" at its first step with "hud_a" shown.
    Hero().SetPose(u"angry");
    ASSERT_TRUE(Load(VEL_TEST_DATA "/unversioned-hall.sav", error)) << error;
    EXPECT_EQ(State(), "hall at 0, door open, interfaces 1, hero angry");
}

} // namespace
} // namespace Vel
