#include "saves/SaveGames.h"

#include "HeadlessHge.h"
#include "TempFolder.h"
#include "app/HgeManager.h"
#include "app/TextCodec.h"
#include "app/Trace.h"
#include "app/UserFiles.h"
#include "data/BinarySerializer.h"
#include "resources/ResourceManager.h"
#include "saves/GalleryManager.h"
#include "saves/ThumbsGallery.h"
#include "scene/Command.h"
#include "scene/Layer.h"
#include "scene/Poster.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"
#include "sound/SoundManager.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdint>
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

// A scene block without nodes: position, no nodes, no layers, no groups.
std::string EmptySceneBlock(std::int32_t position)
{
    return Int(position) + Int(0) + Int(0) + Int(0);
}

std::string LocalLabel(std::time_t time)
{
    std::tm local = {};
    localtime_r(&time, &local);
    char text[64];
    std::strftime(text, sizeof(text), "%-d.%-m.%Y - %H:%M", &local);
    return text;
}

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
        m_scenes.SetSaveLoadGallery(&m_gallery);
        m_saves.SetSaveLoadGallery(&m_gallery);
        MakeScene(u"intro", 2, false);
        MakeScene(u"hall", 3, false);
        for (const char16_t* name : {u"hud_a", u"hud_b", u"hud_c"})
            MakeScene(name, 1, true);
    }
    ~SaveGamesTest() override
    {
        Trace::Close();
        UserFiles::SetUserFolderOverride("");
    }

    void MakeScene(const std::u16string& name, int steps, bool interface)
    {
        Scene* scene = interface ? m_scenes.CreateInterfaceScene(name) : m_scenes.CreateScene(name);
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
        m_scenes.StartScene(u"hall", SceneStart::Reset);
        m_steps[u"hall"][0]->Complete();
        Scene* hall = m_scenes.FindScene(u"hall");
        hall->CreateNode(u"bg_hall", 1, u"")->MoveTo(10.0f, 20.0f);
        hall->CreateNode(u"lamp", 2, u"lamps")->MoveTo(5.0f, 6.0f);
        hall->Update(0.0f, Scene::Mouse{});
        m_triggers.Set(u"door", u"open");
        m_triggers.SetKind(u"seen_end", TriggerKind::System);
        m_triggers.Set(u"seen_end", u"1");
        m_scenes.LaunchInterface(u"hud_b");
        m_scenes.LaunchInterface(u"hud_a");
    }

    // Everything a load may change, in a form that shows what differs.
    std::string Describe() const
    {
        std::ostringstream out;
        const Scene* current = m_scenes.GetCurrentScene();
        out << "current " << TextCodec::WideToUtf8(m_scenes.GetCurrentName()) << " / "
            << (current != nullptr ? TextCodec::WideToUtf8(current->GetName()) : "none") << "\n";
        for (const char16_t* name : {u"intro", u"hall"}) {
            const Scene* scene = m_scenes.FindScene(name);
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
        for (const auto& [name, trigger] : m_triggers.Triggers()) {
            if (!trigger.value.empty())
                out << TextCodec::WideToUtf8(name) << "=" << TextCodec::WideToUtf8(trigger.value) << " ";
        }
        out << "\ninterfaces";
        for (const std::u16string& name : m_scenes.GetShownInterfaces())
            out << " " << TextCodec::WideToUtf8(name);
        out << "\nplaylist " << TextCodec::WideToUtf8(m_sound.GetCurrentPlaylistName()) << "\n";
        return out.str();
    }

    [[nodiscard]] std::string SaveFolder() const { return m_folder.File("save") + "/"; }
    [[nodiscard]] std::string Log() const { return m_folder.Read("engine.log"); }
    // Saves and returns the new save's path.
    std::string SaveNow()
    {
        const std::string path = TextCodec::WideToUtf8(SaveGames::NextSavePath());
        m_saves.Save();
        EXPECT_TRUE(fs::exists(path));
        return path;
    }
    std::string SceneBlock(const std::u16string& name)
    {
        const std::string file = m_folder.File("block.bin");
        {
            BinarySerializer writer(TextCodec::Utf8ToWide(file), BinarySerializer::Direction::Write);
            m_scenes.FindScene(name)->Save(writer);
        }
        return m_folder.Read(file);
    }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    HgeManager m_hgeManager{m_folder.File("engine.log")};
    ResourceManager m_resources;
    SoundManager m_sound;
    ScenesManager m_scenes;
    TriggerManager m_triggers;
    GalleryManager m_galleries;
    ThumbsGallery m_gallery;
    SaveGames m_saves;
    std::map<std::u16string, std::vector<WaitCommand*>> m_steps;
};

TEST_F(SaveGamesTest, TheSaveFileHoldsItsItemsInOrderAndTheSaveIsAnnounced)
{
    PlayHall();
    Poster* notice = m_gallery.GetNotice();
    notice->Update(1.0f);
    ASSERT_GT(notice->GetAlpha(), 0.0f);
    ASSERT_TRUE(Trace::Open(m_folder.File("trace.txt")));

    const std::string path = SaveNow();
    EXPECT_EQ(path, SaveFolder() + "00000001.sav");
    const std::string expected = Wide(u"hall") + SceneBlock(u"hall") + Int(1) + Wide(u"door") + Wide(u"open") + Int(2) +
                                 Wide(u"hud_a") + Wide(u"hud_b") + Int(0);
    const std::string bytes = m_folder.Read(path);
    EXPECT_EQ(bytes, expected);
    EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string(4, '\0')) << "no playlist: an empty name ends the file";
    EXPECT_EQ(SceneBlock(u"hall").substr(0, 4), Int(1)) << "the block starts at the saved position";
    EXPECT_FALSE(fs::exists(path + ".tmp"));

    EXPECT_TRUE(m_scenes.IsSnapshotRequested());
    EXPECT_EQ(m_scenes.GetNotice(), notice);
    EXPECT_EQ(notice->GetAlpha(), 0.0f) << "the notice starts over";
    EXPECT_FALSE(notice->IsFinished());
    Trace::Close();
    EXPECT_NE(m_folder.Read("trace.txt").find("save " + path), std::string::npos);

    // After a start of an unknown name the hall still runs, and the save names the scene whose state it holds.
    m_scenes.StartScene(u"missing", SceneStart::Reset);
    EXPECT_EQ(m_folder.Read(SaveNow()).substr(0, 12), Wide(u"hall"));
}

TEST_F(SaveGamesTest, TheThumbnailIsTakenOfTheNextFrameUnderTheSaveBaseName)
{
    ASSERT_TRUE(m_hge->System_Initiate());
    PlayHall();
    const std::string path = SaveNow();
    ASSERT_TRUE(m_hge->Gfx_BeginScene());
    m_scenes.Render();
    m_hge->Gfx_EndScene();
    EXPECT_FALSE(fs::exists(SaveFolder() + "00000001.bmp")) << "written before the frame after it";
    m_scenes.Update(1.0f / 60.0f);
    EXPECT_EQ(m_folder.Read(SaveFolder() + "00000001.bmp").substr(0, 2), "BM");
    EXPECT_FALSE(m_scenes.IsSnapshotRequested());
}

TEST_F(SaveGamesTest, NumbersGoOnFromTheHighestSaveAndNeverOverwrite)
{
    EXPECT_EQ(TextCodec::WideToUtf8(SaveGames::NextSavePath()), SaveFolder() + "00000001.sav");
    m_folder.Write(SaveFolder() + "00000001.sav", "old");
    m_folder.Write(SaveFolder() + "00000003.sav", "old");
    m_folder.Write(SaveFolder() + "abc.sav", "");
    m_folder.Write(SaveFolder() + "12x.sav", "");
    EXPECT_EQ(TextCodec::WideToUtf8(SaveGames::NextSavePath()), SaveFolder() + "00000004.sav");
    // A thumbnail whose save was deleted by hand keeps its number.
    m_folder.Write(SaveFolder() + "00000004.bmp", "BM");
    EXPECT_EQ(TextCodec::WideToUtf8(SaveGames::NextSavePath()), SaveFolder() + "00000005.sav");

    PlayHall();
    EXPECT_EQ(SaveNow(), SaveFolder() + "00000005.sav");
    EXPECT_EQ(SaveNow(), SaveFolder() + "00000006.sav");
    EXPECT_EQ(m_folder.Read(SaveFolder() + "00000001.sav"), "old");
    EXPECT_EQ(m_folder.Read(SaveFolder() + "00000004.bmp"), "BM");
}

TEST_F(SaveGamesTest, ASaveThatCannotBeWrittenLeavesNoFileNoThumbnailAndNoNotice)
{
    m_saves.Save();
    EXPECT_NE(Log().find("no scene is running"), std::string::npos);

    PlayHall();
    fs::remove_all(SaveFolder());
    m_folder.Write(m_folder.File("save"), "a file where the save folder belongs");
    m_saves.Save();
    EXPECT_NE(Log().find("Cannot write the save " + SaveFolder() + "00000001.sav"), std::string::npos);
    EXPECT_FALSE(m_scenes.IsSnapshotRequested());
    EXPECT_EQ(m_scenes.GetNotice(), nullptr);
}

TEST_F(SaveGamesTest, TheListShowsSavesWithThumbnailsDatedByTheThumbnail)
{
    const std::time_t before = std::time(nullptr);
    for (const char* name : {"00000001.sav", "00000001.bmp", "00000002.sav", "00000003.sav", "00000003.bmp"})
        m_folder.Write(SaveFolder() + name, "x");
    const std::time_t after = std::time(nullptr);
    // A last change long ago: the date is the creation time where the file system records one.
    std::tm old = {};
    old.tm_year = 101;
    old.tm_mon = 1;
    old.tm_mday = 3;
    old.tm_hour = 4;
    old.tm_min = 5;
    old.tm_isdst = -1;
    const timespec times[2] = {{std::mktime(&old), 0}, {std::mktime(&old), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, (SaveFolder() + "00000003.bmp").c_str(), times, 0), 0);
    struct statx status = {};
    ASSERT_EQ(::statx(AT_FDCWD, (SaveFolder() + "00000003.bmp").c_str(), 0, STATX_BTIME, &status), 0);
    const bool birthRecorded = (status.stx_mask & STATX_BTIME) != 0;

    m_saves.OpenSaveLoad();
    EXPECT_TRUE(m_scenes.IsSaveLoadShown());
    ASSERT_EQ(m_gallery.GetItemCount(), 2u) << "the save without thumbnail is left out";
    EXPECT_EQ(m_gallery.GetPictureFile(0), TextCodec::Utf8ToWide(SaveFolder() + "00000001.bmp"));
    EXPECT_EQ(m_gallery.GetPictureFile(1), TextCodec::Utf8ToWide(SaveFolder() + "00000003.bmp"));
    EXPECT_TRUE(m_gallery.IsUnlocked(0));
    EXPECT_TRUE(m_gallery.IsUnlocked(1));
    const std::string first = TextCodec::WideToUtf8(m_gallery.GetLabel(0));
    EXPECT_TRUE(first == LocalLabel(before) || first == LocalLabel(after)) << first;
    const std::string third = TextCodec::WideToUtf8(m_gallery.GetLabel(1));
    if (birthRecorded)
        EXPECT_TRUE(third == LocalLabel(before) || third == LocalLabel(after)) << third;
    else
        EXPECT_EQ(third, "3.2.2001 - 04:05");

    // Rebuilding replaces the items rather than adding to them.
    fs::remove(SaveFolder() + "00000001.bmp");
    m_saves.RebuildSaveList(m_gallery);
    ASSERT_EQ(m_gallery.GetItemCount(), 1u);
    EXPECT_EQ(m_gallery.GetPictureFile(0), TextCodec::Utf8ToWide(SaveFolder() + "00000003.bmp"));
}

TEST_F(SaveGamesTest, LoadingPutsTheGameBackWhereItWasSaved)
{
    PlayHall();
    m_sound.SetPlaylist(u"theme", false);
    const std::string saved = Describe();
    const std::string path = SaveNow();

    // Play on: another step, moved and new nodes, changed triggers, other interfaces, another scene and playlist.
    m_steps[u"hall"][1]->Complete();
    Scene* hall = m_scenes.FindScene(u"hall");
    hall->FindNode(u"bg_hall")->MoveTo(99.0f, 99.0f);
    hall->CreateNode(u"extra", 1, u"");
    m_triggers.Set(u"door", u"closed");
    m_triggers.Set(u"key", u"taken");
    m_triggers.Set(u"seen_end", u"2");
    m_scenes.ClearInterfaces();
    m_scenes.LaunchInterface(u"hud_c");
    m_scenes.StartScene(u"intro", SceneStart::Reset);
    m_sound.SetPlaylist(u"battle", false);
    ASSERT_NE(Describe(), saved);

    ASSERT_TRUE(Trace::Open(m_folder.File("trace.txt")));
    const int runsBefore = m_steps[u"hall"][1]->runs;
    m_galleries.SetSelectedSave(TextCodec::Utf8ToWide(path));
    m_scenes.ShowSaveLoad();
    m_saves.LoadSelected();
    EXPECT_FALSE(m_scenes.IsSaveLoadShown());
    // The persistent trigger keeps what the player reached since; "key" was not set when the game was saved.
    EXPECT_EQ(m_triggers.Get(u"seen_end"), u"2");
    m_triggers.Set(u"seen_end", u"1");
    EXPECT_EQ(Describe(), saved);
    EXPECT_EQ(m_triggers.Get(u"key"), u"");
    EXPECT_EQ(m_steps[u"hall"][1]->runs, runsBefore + 1) << "the saved step runs again";
    EXPECT_EQ(m_steps[u"hall"][1]->door, u"open") << "and finds the saved triggers in place";
    EXPECT_EQ(m_scenes.GetCurrentScene(), hall);
    EXPECT_TRUE(hall->IsRunning());
    Trace::Close();
    const std::string trace = m_folder.Read("trace.txt");
    EXPECT_NE(trace.find("load " + path), std::string::npos);
    EXPECT_LT(trace.find("load " + path), trace.find("scene hall"));
    EXPECT_NE(trace.find("interface hud_a"), std::string::npos);

    // Saved without a playlist: none is current after loading.
    m_sound.SetPlaylist(u"", false);
    const std::string silent = SaveNow();
    m_sound.SetPlaylist(u"battle", false);
    std::string error;
    ASSERT_TRUE(m_saves.Load(TextCodec::Utf8ToWide(silent), error)) << error;
    EXPECT_TRUE(m_sound.GetCurrentPlaylistName().empty());
    EXPECT_EQ(m_sound.GetCurrentPlaylist(), nullptr);
}

TEST_F(SaveGamesTest, ASaveTruncatedAnywhereChangesNothing)
{
    PlayHall();
    m_sound.SetPlaylist(u"theme", false);
    const std::string bytes = m_folder.Read(SaveNow());
    m_steps[u"hall"][1]->Complete();
    m_triggers.Set(u"door", u"closed");
    m_scenes.LaunchInterface(u"hud_c");
    m_scenes.StartScene(u"intro", SceneStart::Reset);
    const std::string before = Describe();

    const std::string damaged = SaveFolder() + "damaged.sav";
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        m_folder.Write(damaged, bytes.substr(0, size));
        std::string error;
        EXPECT_FALSE(m_saves.Load(TextCodec::Utf8ToWide(damaged), error)) << size;
        EXPECT_FALSE(error.empty()) << size;
        ASSERT_EQ(Describe(), before) << "truncated at " << size << ": " << error;
    }
    m_folder.Write(damaged, bytes);
    std::string error;
    EXPECT_TRUE(m_saves.Load(TextCodec::Utf8ToWide(damaged), error)) << error;
}

TEST_F(SaveGamesTest, DamagedSavesAreRefusedWithTheirReasonAndChangeNothing)
{
    PlayHall();
    const std::string before = Describe();
    const std::string tail = Int(0) + Int(0) + Wide(u"");
    const std::string huge = Int(0x7FFFFFFF);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"an unknown scene", Wide(u"nowhere") + EmptySceneBlock(0) + tail},
        {"an odd scene name length", Int(3) + "hal" + EmptySceneBlock(0) + tail},
        {"a negative string length", Int(-2) + EmptySceneBlock(0) + tail},
        {"a huge node count", Wide(u"hall") + Int(0) + huge + Int(0) + Int(0) + tail},
        {"a huge layer count", Wide(u"hall") + Int(0) + Int(0) + huge + Int(0) + tail},
        {"a huge group count", Wide(u"hall") + Int(0) + Int(0) + Int(0) + huge + tail},
        {"a negative position", Wide(u"hall") + EmptySceneBlock(-1) + tail},
        {"a position past the commands", Wide(u"hall") + EmptySceneBlock(4) + tail},
        {"a layer entry naming no node",
         Wide(u"hall") + Int(0) + Int(0) + Int(1) + Int(1) + Int(1) + Wide(u"ghost") + Int(0) + tail},
        {"a huge trigger count", Wide(u"hall") + EmptySceneBlock(0) + huge + Int(0) + Wide(u"")},
        {"a negative trigger count", Wide(u"hall") + EmptySceneBlock(0) + Int(-1) + Int(0) + Wide(u"")},
        {"an odd trigger value length",
         Wide(u"hall") + EmptySceneBlock(0) + Int(1) + Wide(u"door") + Int(5) + "abcde" + tail},
        {"a huge interface count", Wide(u"hall") + EmptySceneBlock(0) + Int(0) + huge + Wide(u"")},
        {"an unknown interface", Wide(u"hall") + EmptySceneBlock(0) + Int(0) + Int(1) + Wide(u"hud_x") + Wide(u"")},
        {"an odd playlist length", Wide(u"hall") + EmptySceneBlock(0) + Int(0) + Int(0) + Int(1) + "x"},
        {"bytes after the playlist", Wide(u"hall") + EmptySceneBlock(0) + tail + "!"},
    };
    const std::string damaged = SaveFolder() + "damaged.sav";
    for (const auto& [label, bytes] : cases) {
        m_folder.Write(damaged, bytes);
        std::string error;
        EXPECT_FALSE(m_saves.Load(TextCodec::Utf8ToWide(damaged), error)) << label;
        EXPECT_FALSE(error.empty()) << label;
        EXPECT_EQ(Describe(), before) << label << ": " << error;
    }
    std::string error;
    EXPECT_FALSE(m_saves.Load(TextCodec::Utf8ToWide(SaveFolder() + "missing.sav"), error));
    EXPECT_EQ(error, "the file cannot be read");

    // Through the screen: it closes and the log names the save and the reason.
    m_folder.Write(damaged, cases[0].second);
    m_galleries.SetSelectedSave(TextCodec::Utf8ToWide(damaged));
    m_scenes.ShowSaveLoad();
    m_saves.LoadSelected();
    EXPECT_FALSE(m_scenes.IsSaveLoadShown());
    EXPECT_NE(Log().find("Cannot load the save " + damaged + ": the scene \"nowhere\" does not exist"),
              std::string::npos);
    EXPECT_EQ(Describe(), before);

    // The same layout without the damage loads: the cases above fail for their damage alone.
    m_folder.Write(damaged, Wide(u"hall") + Int(0) + Int(0) + Int(1) + Int(1) + Int(0) + Int(0) + Int(1) +
                                Wide(u"door") + Wide(u"ajar") + Int(1) + Wide(u"hud_c") + Wide(u""));
    ASSERT_TRUE(m_saves.Load(TextCodec::Utf8ToWide(damaged), error)) << error;
    EXPECT_EQ(m_triggers.Get(u"door"), u"ajar");
    EXPECT_EQ(m_scenes.GetShownInterfaces(), std::vector<std::u16string>{u"hud_c"});
    EXPECT_TRUE(m_scenes.FindScene(u"hall")->GetNodes().empty());
}

TEST_F(SaveGamesTest, DeletingRemovesTheSaveAndItsThumbnailAndShowsTheListAgain)
{
    PlayHall();
    const std::string first = SaveNow();
    const std::string second = SaveNow();
    m_folder.Write(SaveFolder() + "00000001.bmp", "BM");
    m_folder.Write(SaveFolder() + "00000002.bmp", "BM");

    m_galleries.SetSelectedSave(TextCodec::Utf8ToWide(first));
    m_saves.DeleteSelected();
    EXPECT_FALSE(fs::exists(first));
    EXPECT_FALSE(fs::exists(SaveFolder() + "00000001.bmp"));
    EXPECT_TRUE(fs::exists(second));
    EXPECT_TRUE(m_scenes.IsSaveLoadShown());
    ASSERT_EQ(m_gallery.GetItemCount(), 1u);
    EXPECT_EQ(m_gallery.GetPictureFile(0), TextCodec::Utf8ToWide(SaveFolder() + "00000002.bmp"));
    EXPECT_TRUE(m_galleries.GetSelectedSave().empty());

    // A thumbnail already gone by hand, no selection, or a selection that is no save: nothing else goes.
    fs::remove(SaveFolder() + "00000002.bmp");
    m_galleries.SetSelectedSave(TextCodec::Utf8ToWide(second));
    m_saves.DeleteSelected();
    EXPECT_FALSE(fs::exists(second));
    m_saves.DeleteSelected();
    m_folder.Write(SaveFolder() + "notes.txt", "keep");
    m_folder.Write(SaveFolder() + "notes.bmp", "keep");
    m_galleries.SetSelectedSave(TextCodec::Utf8ToWide(SaveFolder() + "notes.txt"));
    m_saves.DeleteSelected();
    EXPECT_TRUE(fs::exists(SaveFolder() + "notes.txt"));
    EXPECT_TRUE(fs::exists(SaveFolder() + "notes.bmp"));
    EXPECT_EQ(m_gallery.GetItemCount(), 0u);
}

} // namespace
} // namespace Vel
