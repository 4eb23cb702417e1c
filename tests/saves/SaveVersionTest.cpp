// Saves across the versions of their layout: from version 2 on a save keeps the characters' poses, from version 3 on
// the history, a save made before saves had a version loads as it always did, and a save the engine cannot read is
// refused whole, with its reason.
#include "saves/SaveGames.h"

#include "HeadlessHge.h"
#include "ProcessRecordGuard.h"
#include "TempFolder.h"
#include "app/GameSystems.h"
#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "resources/Character.h"
#include "resources/Style.h"
#include "scene/Command.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace Vel {
namespace {

std::string Int(std::int32_t value)
{
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>(static_cast<std::uint32_t>(value) >> shift & 0xFF);
    return bytes;
}

std::string Wide(const std::u16string& text)
{
    std::string bytes = Int(static_cast<std::int32_t>(text.size() * 2));
    for (const char16_t unit : text)
        bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
}

// The bytes of a save described by its parts (see data/save_versions.txt).
std::string Build(const std::string& parts, const std::string& body)
{
    std::string bytes;
    std::istringstream in(parts);
    for (std::string part; in >> part;) {
        const std::string value = part.substr(part.find(':') + 1);
        if (part == "body")
            bytes += body;
        else if (part.starts_with("int:"))
            bytes += Int(std::stoi(value));
        else if (part.starts_with("wide:"))
            bytes += Wide(TextCodec::Utf8ToWide(value));
        else if (part.starts_with("file:"))
            bytes += (std::stringstream() << std::ifstream(VEL_TEST_DATA "/" + value, std::ios::binary).rdbuf()).str();
        for (std::size_t at = 0; part.starts_with("hex:") && at + 1 < value.size(); at += 2)
            bytes += static_cast<char>(std::stoi(value.substr(at, 2), nullptr, 16));
    }
    return bytes;
}

// A step of the story that waits for ever.
class WaitCommand : public Command
{
};

// The story "hall" (3 steps) and the interface "hud_a", and the characters "hero" (calm or angry) and "elin", who
// never takes a pose, loaded from the rows of data/save_versions.txt.
TEST(SaveVersionTest, PosesComeBackOlderSavesLoadAsBeforeAndUnreadableOnesChangeNothing)
{
    TestTools::ProcessRecordGuard records;
    TestTools::TempFolder folder;
    TestTools::HeadlessHge hge;
    HgeManager hgeManager{folder.File("engine.log")};
    GameSystems systems;
    UserFiles::SetUserFolderOverride(folder.Path().string());
    UserFiles::CreateFolders();
    Scene* hall = systems.scenes.CreateScene(u"hall");
    for (int step = 0; step < 3; ++step)
        hall->AddCommand(std::make_unique<WaitCommand>());
    systems.scenes.CreateInterfaceScene(u"hud_a")->AddCommand(std::make_unique<WaitCommand>());
    Character& hero = *systems.resources.GetCharacter(u"hero");
    for (const char16_t* pose : {u"calm", u"angry"})
        hero.AddPose(pose, u"", u"", u"");
    systems.resources.GetCharacter(u"elin")->AddPose(u"shy", u"", u"", u"");
    hero.SetPose(u"calm");
    systems.triggers.Set(u"door", u"open");
    Style* speech = systems.resources.GetStyle(u"speech");
    systems.history.Add("Hero", "Hi.", u"hi.ogg", speech, speech);
    systems.scenes.StartScene(u"hall", SceneStart::Reset);
    const std::string path = TextCodec::WideToUtf8(SaveGames::NextSavePath());
    systems.saves.Save();
    const std::string bytes = folder.Read(path);
    const std::string poses = Int(1) + Wide(u"hero") + Wide(u"calm"); // only the characters that have a pose
    const std::string history =
        Int(1) + Wide(u"Hero") + Wide(u"Hi.") + Wide(u"hi.ogg") + Wide(u"speech") + Wide(u"speech");
    const std::string body = bytes.substr(8, bytes.size() - 8 - poses.size() - history.size());
    ASSERT_EQ(Int(-1) + Int(3) + body + poses + history, bytes);

    // The history's lines as "name:text:voice:style", one style name for both when they agree.
    const auto History = [&] {
        std::string lines;
        for (std::size_t index = 0; index < systems.history.Size(); ++index) {
            const HistoryEntry& entry = systems.history.At(index);
            lines += (index > 0 ? " " : "") + entry.name + ":" + entry.text + ":" + TextCodec::WideToUtf8(entry.voice) +
                     ":" + TextCodec::WideToUtf8(systems.resources.StyleName(entry.textStyle));
        }
        return "[" + lines + "]";
    };
    // Everything a load changes, in a form that shows what differs.
    const auto state = [&] {
        const Scene* scene = systems.scenes.GetCurrentScene();
        return TextCodec::WideToUtf8(systems.scenes.GetCurrentName()) + " at " +
               std::to_string(scene != nullptr ? scene->GetPosition() : -1) + ", door " +
               TextCodec::WideToUtf8(systems.triggers.Get(u"door")) + ", interfaces " +
               std::to_string(systems.scenes.GetShownInterfaces().size()) + ", hero " +
               TextCodec::WideToUtf8(hero.GetPoseName()) + ", history " + History();
    };
    std::ifstream table(VEL_TEST_DATA "/save_versions.txt");
    ASSERT_TRUE(table.is_open());
    for (std::string row; std::getline(table, row);) {
        if (row.empty() || row[0] == '#')
            continue;
        const std::size_t arrow = row.find(" => ");
        hero.SetPose(u"angry");
        systems.triggers.Set(u"door", u"closed");
        systems.history.Clear();
        systems.history.Add("", "Before.", u"", nullptr, nullptr);
        const std::string before = state();
        folder.Write("row.sav", Build(row.substr(0, arrow), body));
        std::string error;
        const bool loaded = systems.saves.Load(TextCodec::Utf8ToWide(folder.File("row.sav")), error);
        EXPECT_EQ(loaded ? "loaded: " + state() : error + (state() == before ? "" : ", yet " + state()),
                  row.substr(arrow + 4))
            << row;
    }
}

} // namespace
} // namespace Vel
