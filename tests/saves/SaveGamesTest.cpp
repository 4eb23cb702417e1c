#include "saves/SaveGames.h"

#include "AllocationCounter.h"
#include "HeadlessHge.h"
#include "ProcessRecordGuard.h"
#include "TempFolder.h"
#include "app/GameSystems.h"
#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "saves/SaveSlots.h"
#include "saves/ThumbsGallery.h"
#include "scene/Command.h"
#include "scene/Layer.h"
#include "scene/Poster.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace Vel {
namespace {

namespace fs = std::filesystem;

// A step of the story that waits until the test completes it and notes the trigger "door" as it starts.
class WaitCommand : public Command
{
public:
    void Execute(Scene& scene) override
    {
        Command::Execute(scene);
        ++runs;
        door = TriggerManager::GetSingleton().Get(u"door");
    }
    int runs = 0;
    std::u16string door;
};

// The whole engine the save-game code reaches, headless, with the user folder in a temporary folder. The story has
// the scenes "intro" (2 steps) and "hall" (3 steps) and the interface scenes "hud_a", "hud_b" and "hud_c".
class SaveGamesTest : public ::testing::Test
{
protected:
    SaveGamesTest()
    {
        UserFiles::SetUserFolderOverride(m_folder.Path().string());
        UserFiles::CreateFolders();
        m_gallery.SetSaveLoadMode(true);
        m_gallery.SetRows(3);
        m_gallery.SetColumns(4);
        m_gallery.SetNotice(std::make_unique<Poster>(u"notice", 0.0f, 0.0f, 2.0f));
        m_systems.scenes.SetSaveLoadGallery(&m_gallery);
        m_systems.saves.SetSaveLoadGallery(&m_gallery);
        MakeScene(u"intro", 2, false);
        MakeScene(u"hall", 3, false);
        for (const char16_t* name : {u"hud_a", u"hud_b", u"hud_c"})
            MakeScene(name, 1, true);
    }

    void MakeScene(const std::u16string& name, int steps, bool interface)
    {
        Scene* scene = interface ? m_systems.scenes.CreateInterfaceScene(name) : m_systems.scenes.CreateScene(name);
        for (int step = 0; step < steps; ++step) {
            auto command = std::make_unique<WaitCommand>();
            m_steps[name].push_back(command.get());
            scene->AddCommand(std::move(command));
        }
    }

    // "hall" at its second step with two nodes, a game and a persistent trigger, two interfaces shown (the later
    // name first) and no playlist.
    void PlayHall()
    {
        m_systems.scenes.StartScene(u"hall", SceneStart::Reset);
        m_steps[u"hall"][0]->Complete();
        Scene* hall = m_systems.scenes.FindScene(u"hall");
        hall->CreateNode(u"bg_hall", 1, u"")->MoveTo(10.0f, 20.0f);
        hall->CreateNode(u"lamp", 2, u"lamps")->MoveTo(5.0f, 6.0f);
        hall->Update(0.0f, Scene::Mouse{});
        m_systems.triggers.Set(u"door", u"open");
        m_systems.triggers.SetKind(u"seen_end", TriggerKind::System);
        m_systems.triggers.Set(u"seen_end", u"1");
        m_systems.scenes.LaunchInterface(u"hud_b");
        m_systems.scenes.LaunchInterface(u"hud_a");
    }

    // Everything a load may change, in a form that shows what differs.
    std::string Describe() const
    {
        std::ostringstream out;
        const Scene* current = m_systems.scenes.GetCurrentScene();
        out << "current " << TextCodec::WideToUtf8(m_systems.scenes.GetCurrentName()) << " / "
            << (current != nullptr ? TextCodec::WideToUtf8(current->GetName()) : "none") << "\n";
        for (const char16_t* name : {u"intro", u"hall"}) {
            const Scene* scene = m_systems.scenes.FindScene(name);
            out << TextCodec::WideToUtf8(name) << " at " << scene->GetPosition() << " running " << scene->IsRunning();
            for (const auto& [node, object] : scene->GetNodes())
                out << " " << TextCodec::WideToUtf8(node) << "(" << object->GetX() << "," << object->GetY() << ")";
            for (const auto& [depth, layer] : scene->GetLayers()) {
                out << " L" << depth << ":";
                for (const SceneNode* node : layer->GetNodes())
                    out << TextCodec::WideToUtf8(node->GetName()) << ";";
            }
            out << "\n";
        }
        for (const auto& [name, trigger] : m_systems.triggers.Triggers())
            if (!trigger.value.empty())
                out << TextCodec::WideToUtf8(name) << "=" << TextCodec::WideToUtf8(trigger.value) << " ";
        out << "\ninterfaces";
        for (const std::u16string& name : m_systems.scenes.GetShownInterfaces())
            out << " " << TextCodec::WideToUtf8(name);
        out << "\nplaylist " << TextCodec::WideToUtf8(m_systems.sound.GetCurrentPlaylistName()) << "\n";
        return out.str();
    }

    [[nodiscard]] std::string SaveFolder() const { return m_folder.File("save") + "/"; }
    [[nodiscard]] std::string Log() const { return m_folder.Read("engine.log"); }
    // Saves and returns the new save's path.
    std::string SaveNow()
    {
        const std::string path = TextCodec::WideToUtf8(SaveGames::NextSavePath());
        m_systems.saves.Save();
        EXPECT_TRUE(fs::exists(path));
        return path;
    }

    TestTools::ProcessRecordGuard m_records;
    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    HgeManager m_hgeManager{m_folder.File("engine.log")};
    GameSystems m_systems;
    ThumbsGallery& m_gallery =
        static_cast<ThumbsGallery&>(*m_systems.galleries.Add(u"saveload", std::make_unique<ThumbsGallery>()));
    std::map<std::u16string, std::vector<WaitCommand*>> m_steps;
};

// data/hall.sav holds what a save of PlayHall must hold, in order: the current scene's name and its block, the game
// triggers with a value ("door"), the interfaces shown, the playlist's name (none), the poses and the history (none
// of either), each count and text length first, the texts in UTF-16. The thumbnail, taken of the frame after the
// save without the menu, is checked by the end-to-end save run.
TEST_F(SaveGamesTest, TheSaveFileHoldsItsItemsInOrder)
{
    PlayHall();
    const std::string path = SaveNow();
    EXPECT_EQ(path, SaveFolder() + "00000001.sav");
    EXPECT_EQ(m_folder.Read(path), m_folder.Read(std::string(VEL_TEST_DATA) + "/hall.sav"));
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    EXPECT_EQ(m_systems.scenes.GetNotice(), m_gallery.GetNotice());
    EXPECT_TRUE(m_systems.scenes.IsSnapshotRequested());
}

TEST_F(SaveGamesTest, NumbersGoOnFromTheHighestSaveOrThumbnailAndFailuresLeaveNothing)
{
    m_systems.saves.Save();
    EXPECT_NE(Log().find("no scene is running"), std::string::npos);
    PlayHall();
    fs::remove_all(SaveFolder());
    m_folder.Write(m_folder.File("save"), "a file where the save folder belongs");
    m_systems.saves.Save();
    EXPECT_NE(Log().find("Cannot write the save " + SaveFolder() + "00000001.sav"), std::string::npos);
    EXPECT_FALSE(m_systems.scenes.IsSnapshotRequested());
    EXPECT_EQ(m_systems.scenes.GetNotice(), nullptr);

    fs::remove(m_folder.File("save"));
    UserFiles::CreateFolders();
    for (const char* name : {"00000001.sav", "00000003.sav", "abc.sav", "12x.sav", "00000004.bmp"})
        m_folder.Write(SaveFolder() + name, "old");
    EXPECT_EQ(SaveNow(), SaveFolder() + "00000005.sav") << "a thumbnail whose save was deleted keeps its number";
    EXPECT_EQ(SaveNow(), SaveFolder() + "00000006.sav");
}

// The date a thumbnail made at that moment is labelled with: day and month without leading zeros.
std::string LocalLabel(std::time_t when)
{
    std::tm local = {};
    localtime_r(&when, &local);
    char text[64];
    std::snprintf(text, sizeof text, "%d.%d.%d - %02d:%02d", local.tm_mday, local.tm_mon + 1, local.tm_year + 1900,
                  local.tm_hour, local.tm_min);
    return text;
}

TEST_F(SaveGamesTest, TheListShowsQuickAndAutoSavesFirstByKindOnlyWithThumbnailsAndDeletingRemovesBoth)
{
    const std::time_t before = std::time(nullptr);
    for (const char* name :
         {"00000001.sav", "00000001.bmp", "00000002.sav", "00000003.sav", "00000003.bmp", "notes.txt", "notes.bmp",
          "auto-2.sav", "auto-2.bmp", "auto-1.sav", "auto-1.bmp", "quick.sav", "quick.bmp"})
        m_folder.Write(SaveFolder() + name, "x");
    const std::time_t after = std::time(nullptr);
    m_systems.saves.RefreshCanContinue();
    m_systems.saves.OpenSaveLoad();
    const struct
    {
        const char* picture;
        const char* kind;
    } listed[] = {{"quick.bmp", "Quick "},
                  {"auto-1.bmp", "Auto "},
                  {"auto-2.bmp", "Auto "},
                  {"00000001.bmp", ""},
                  {"00000003.bmp", ""}};
    ASSERT_EQ(m_gallery.GetItemCount(), std::size(listed)) << "the save without thumbnail is left out";
    for (std::size_t item = 0; item < std::size(listed); ++item) {
        EXPECT_EQ(m_gallery.GetPictureFile(item), TextCodec::Utf8ToWide(SaveFolder() + listed[item].picture));
        const std::string label = TextCodec::WideToUtf8(m_gallery.GetLabel(item));
        EXPECT_TRUE(label == listed[item].kind + LocalLabel(before) || label == listed[item].kind + LocalLabel(after))
            << label;
    }

    for (const char* save : {"00000001.sav", "00000002.sav", "00000003.sav", "auto-1.sav", "auto-2.sav", "quick.sav"}) {
        EXPECT_EQ(m_systems.triggers.Get(u"_cancontinue"), u"yes") << save;
        m_systems.galleries.SetSelectedSave(TextCodec::Utf8ToWide(SaveFolder() + save));
        m_systems.saves.DeleteSelected();
        EXPECT_FALSE(fs::exists(SaveFolder() + save));
        EXPECT_FALSE(fs::exists(SaveFolder() + SaveSlots::ThumbnailOf(save)));
    }
    EXPECT_EQ(m_systems.triggers.Get(u"_cancontinue"), u"no");
    EXPECT_TRUE(m_systems.scenes.IsSaveLoadShown());
    EXPECT_EQ(m_gallery.GetItemCount(), 0u) << "the list is made again";
    m_systems.galleries.SetSelectedSave(TextCodec::Utf8ToWide(SaveFolder() + "notes.txt"));
    m_systems.saves.DeleteSelected();
    EXPECT_TRUE(fs::exists(SaveFolder() + "notes.bmp")) << "a selection that is no save deletes nothing";
}

TEST_F(SaveGamesTest, LoadingPutsTheGameBackWhereItWasSavedAndADamagedSaveChangesNothing)
{
    PlayHall();
    m_systems.sound.SetPlaylist(u"theme", false);
    const std::string path = SaveNow();
    // After the save: it sets "_cancontinue", which no save carries.
    const std::string saved = Describe();
    const std::string bytes = m_folder.Read(path);

    m_steps[u"hall"][1]->Complete();
    m_systems.scenes.FindScene(u"hall")->FindNode(u"bg_hall")->MoveTo(99.0f, 99.0f);
    m_systems.triggers.Set(u"door", u"closed");
    m_systems.triggers.Set(u"seen_end", u"2");
    m_systems.scenes.ClearInterfaces();
    m_systems.scenes.LaunchInterface(u"hud_c");
    m_systems.scenes.StartScene(u"intro", SceneStart::Reset);
    m_systems.sound.SetPlaylist(u"battle", false);
    const std::string before = Describe();

    // Damaged saves kept as data, among them string lengths no save could hold in every kind of string; then the
    // good save cut short at every byte.
    std::vector<std::pair<std::string, std::string>> cases;
    for (const fs::directory_entry& file : fs::directory_iterator(fs::path(VEL_TEST_DATA) / "damaged"))
        cases.emplace_back(file.path().filename().string(), m_folder.Read(file.path().string()));
    ASSERT_EQ(cases.size(), 39u);
    for (std::size_t size = 0; size < bytes.size(); ++size)
        cases.emplace_back("truncated at " + std::to_string(size), bytes.substr(0, size));
    const std::string damaged = SaveFolder() + "damaged.sav";
    for (const auto& [label, content] : cases) {
        m_folder.Write(damaged, content);
        std::string error;
        TestTools::ResetLargestAllocation();
        EXPECT_FALSE(m_systems.saves.Load(TextCodec::Utf8ToWide(damaged), error)) << label;
        EXPECT_LT(TestTools::LargestAllocation(), 65536u) << label << ": the claim was believed";
        EXPECT_FALSE(error.empty()) << label;
        ASSERT_EQ(Describe(), before) << label << ": " << error;
    }
    // Picked on the save/load screen, a damaged save closes the screen and is named in the log.
    m_folder.Write(damaged, m_folder.Read(std::string(VEL_TEST_DATA) + "/damaged/unknown_scene.sav"));
    m_systems.galleries.SetSelectedSave(TextCodec::Utf8ToWide(damaged));
    m_systems.scenes.ShowSaveLoad();
    m_systems.saves.LoadSelected();
    EXPECT_FALSE(m_systems.scenes.IsSaveLoadShown());
    EXPECT_NE(Log().find("Cannot load the save " + damaged + ": the scene \"nowhere\" does not exist"),
              std::string::npos);

    const int runsBefore = m_steps[u"hall"][1]->runs;
    m_systems.galleries.SetSelectedSave(TextCodec::Utf8ToWide(path));
    m_systems.scenes.ShowSaveLoad();
    m_systems.saves.LoadSelected();
    EXPECT_FALSE(m_systems.scenes.IsSaveLoadShown());
    EXPECT_EQ(m_systems.triggers.Get(u"seen_end"), u"2")
        << "the persistent trigger keeps what the player reached since";
    m_systems.triggers.Set(u"seen_end", u"1");
    EXPECT_EQ(Describe(), saved);
    EXPECT_EQ(m_steps[u"hall"][1]->runs, runsBefore + 1) << "the saved step runs again";
    EXPECT_EQ(m_steps[u"hall"][1]->door, u"open") << "and finds the saved triggers in place";

    // Saved without a playlist: none is current after loading.
    m_systems.sound.SetPlaylist(u"", false);
    const std::string silent = SaveNow();
    m_systems.sound.SetPlaylist(u"battle", false);
    std::string error;
    ASSERT_TRUE(m_systems.saves.Load(TextCodec::Utf8ToWide(silent), error)) << error;
    EXPECT_EQ(m_systems.sound.GetCurrentPlaylist(), nullptr);
}

} // namespace
} // namespace Vel
