#include "saves/SaveGames.h"

#include "core/HgeManager.h"
#include "core/PlayerSettings.h"
#include "core/TextCodec.h"
#include "core/Trace.h"
#include "core/UserFiles.h"
#include "data/BinarySerializer.h"
#include "data/ReadMarks.h"
#include "dialogue/HistoryLog.h"
#include "resources/Character.h"
#include "resources/ResourceManager.h"
#include "saves/Gallery.h"
#include "saves/GalleryManager.h"
#include "saves/SaveSlots.h"
#include "scene/Poster.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"
#include "sound/SoundManager.h"

#include <Poco/NumberFormatter.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

namespace Vel {

namespace {

constexpr const char* kSaveExtension = ".sav";
constexpr const char16_t* kAlwaysOpen = u"sys_open";

// A save starts with this mark and the version of its layout. The saves made before versions start with the byte
// count of the scene name, which is never negative, so they cannot be taken for versioned ones; they are version 1.
constexpr std::int32_t kVersionMark = -1;
constexpr std::int32_t kUnversioned = 1;
// Version 2 adds the current pose of every character after the playlist name, version 3 the history after the poses.
constexpr std::int32_t kPosesVersion = 2;
constexpr std::int32_t kSaveVersion = 3;

// What the check of a save file found: the parts that are applied from this record rather than read again.
struct SaveContents
{
    std::u16string scene;
    std::vector<std::u16string> interfaces;                       // in file order
    std::u16string playlist;                                      // empty: none
    std::vector<std::pair<std::u16string, std::u16string>> poses; // character and pose; none in a version 1 save
    std::vector<HistoryEntry> history;                            // oldest first
    bool keepsHistory = false;                                    // version 3 on
};

// Passes reads on to another serializer and writes nowhere, noting the kind of every value that went through
// ('b', 'f', 'i', 's'). A scene that writes back the same kinds it read used every value of its block: a layer or
// group entry it dropped, or a node it read twice under one name, shows up as a difference.
class ShapeRecorder : public Serializer
{
public:
    ShapeRecorder() = default;
    // The source must outlive the recorder.
    explicit ShapeRecorder(Serializer& source) : m_source(&source) {}

    void WriteString(const std::u16string& /*value*/) override { m_shape += 's'; }
    void WriteFloat(float /*value*/) override { m_shape += 'f'; }
    void WriteInt(std::int32_t /*value*/) override { m_shape += 'i'; }
    void WriteBool(bool /*value*/) override { m_shape += 'b'; }

    void ReadString(std::u16string& value) override
    {
        Note('s', [&](Serializer& s) { s.ReadString(value); });
    }
    void ReadFloat(float& value) override
    {
        Note('f', [&](Serializer& s) { s.ReadFloat(value); });
    }
    void ReadInt(std::int32_t& value) override
    {
        Note('i', [&](Serializer& s) { s.ReadInt(value); });
    }
    void ReadBool(bool& value) override
    {
        Note('b', [&](Serializer& s) { s.ReadBool(value); });
    }

    [[nodiscard]] bool Failed() const override { return m_source != nullptr && m_source->Failed(); }
    [[nodiscard]] const std::string& Shape() const { return m_shape; }

private:
    template <typename Read> void Note(char kind, Read read)
    {
        if (m_source == nullptr)
            return;
        read(*m_source);
        if (!m_source->Failed())
            m_shape += kind;
    }

    Serializer* m_source = nullptr;
    std::string m_shape;
};

std::string Utf8(const std::u16string& text)
{
    return TextCodec::WideToUtf8(text);
}

bool Exists(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error);
}

// The thumbnail's creation time where the file system records one, else its last change; nothing for a missing
// file (or anything that is not a file).
std::optional<std::time_t> ThumbnailTime(const std::string& path)
{
    struct statx status = {};
    if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME | STATX_TYPE, &status) != 0)
        return std::nullopt;
    if ((status.stx_mode & S_IFMT) != S_IFREG)
        return std::nullopt;
    if ((status.stx_mask & STATX_BTIME) != 0)
        return static_cast<std::time_t>(status.stx_btime.tv_sec);
    return static_cast<std::time_t>(status.stx_mtime.tv_sec);
}

// Local time as "day.month.year - hour:minute": day and month without leading zeros, hour and minute with two
// digits.
std::string DateLabel(std::time_t time)
{
    std::tm local = {};
    if (localtime_r(&time, &local) == nullptr)
        return {};
    char text[64];
    std::snprintf(text, sizeof(text), "%d.%d.%04d - %02d:%02d", local.tm_mday, local.tm_mon + 1, local.tm_year + 1900,
                  local.tm_hour, local.tm_min);
    return text;
}

// The pose lives on the character, not on the scene's nodes, so every character that has one is written.
void WritePoses(Serializer& writer)
{
    std::vector<std::pair<std::u16string, std::u16string>> poses;
    if (const ResourceManager* resources = ResourceManager::GetSingletonPtr()) {
        for (const auto& [name, character] : resources->GetCharacters())
            if (character->GetCurrentPose() != nullptr)
                poses.emplace_back(name, character->GetPoseName());
    }
    writer.WriteInt(static_cast<std::int32_t>(poses.size()));
    for (const auto& [character, pose] : poses) {
        writer.WriteString(character);
        writer.WriteString(pose);
    }
}

void WriteState(Serializer& writer, const Scene& scene)
{
    writer.WriteInt(kVersionMark);
    writer.WriteInt(kSaveVersion);
    // The name of the scene whose state follows: after a start of an unknown name the manager's current name
    // differs from it, and that name could never be loaded.
    writer.WriteString(scene.GetName());
    scene.Save(writer);
    if (const TriggerManager* triggers = TriggerManager::GetSingletonPtr())
        triggers->Save(writer);
    else
        writer.WriteInt(0);
    std::vector<std::u16string> interfaces = ScenesManager::GetSingleton().GetShownInterfaces();
    std::sort(interfaces.begin(), interfaces.end());
    writer.WriteInt(static_cast<std::int32_t>(interfaces.size()));
    for (const std::u16string& name : interfaces)
        writer.WriteString(name);
    const SoundManager* sound = SoundManager::GetSingletonPtr();
    writer.WriteString(sound != nullptr ? sound->GetCurrentPlaylistName() : std::u16string());
    WritePoses(writer);
    if (const HistoryLog* history = HistoryLog::GetSingletonPtr())
        history->Save(writer);
    else
        writer.WriteInt(0);
}

bool WriteSave(const std::u16string& path, const Scene& scene)
{
    BinarySerializer writer(path, BinarySerializer::Direction::Write);
    WriteState(writer, scene);
    return writer.Commit();
}

// A reader placed at the scene name, and the save's version. A save from before versions is read again from its
// start, since its first value already belongs to the scene name. Null, with the reason, for a version this engine
// cannot read.
std::unique_ptr<BinarySerializer> OpenAtSceneName(const std::string& bytes, std::int32_t& version, std::string& error)
{
    auto reader = std::make_unique<BinarySerializer>(bytes);
    std::int32_t mark = 0;
    reader->ReadInt(mark);
    if (mark != kVersionMark) {
        version = kUnversioned;
        return std::make_unique<BinarySerializer>(bytes);
    }
    reader->ReadInt(version);
    if (!reader->Failed() && version > kUnversioned && version <= kSaveVersion)
        return reader;
    if (reader->Failed())
        error = "the version of the save is damaged";
    else if (version > kSaveVersion)
        error = "it was made by a newer version of the engine (save version " + std::to_string(version) +
                "; this one reads up to version " + std::to_string(kSaveVersion) + ")";
    else
        error = "the save version " + std::to_string(version) + " does not exist";
    return nullptr;
}

// The scene block, read into a scratch scene so that damage found halfway touches nothing of the game.
bool CheckSceneBlock(Serializer& reader, const std::u16string& name, std::string& error)
{
    const Scene* target = ScenesManager::GetSingleton().FindScene(name);
    if (target == nullptr) {
        error = "the scene \"" + Utf8(name) + "\" does not exist";
        return false;
    }
    Scene scratch;
    ShapeRecorder read(reader);
    if (!scratch.Load(read)) {
        error = "the state of the scene is damaged";
        return false;
    }
    ShapeRecorder written;
    scratch.Save(written);
    if (written.Shape() != read.Shape()) {
        error = "the state of the scene names a node it does not hold, or names one twice";
        return false;
    }
    if (static_cast<std::size_t>(scratch.GetPosition()) > target->GetCommands().size()) {
        error = "the saved position lies past the commands of the scene \"" + Utf8(name) + "\"";
        return false;
    }
    return true;
}

// Read with the rules of TriggerManager::Load, which reads it again once the whole file has passed.
bool CheckTriggerBlock(Serializer& reader, std::string& error)
{
    std::int32_t count = -1;
    reader.ReadInt(count);
    // Every record takes at least eight bytes, so a huge count fails at the end of the file.
    for (std::int32_t index = 0; index < count && !reader.Failed(); ++index) {
        std::u16string name;
        std::u16string value;
        reader.ReadString(name);
        reader.ReadString(value);
    }
    if (!reader.Failed() && count >= 0)
        return true;
    error = "the triggers are damaged";
    return false;
}

bool ReadInterfaces(Serializer& reader, std::vector<std::u16string>& names, std::string& error)
{
    std::int32_t count = -1;
    reader.ReadInt(count);
    if (reader.Failed() || count < 0) {
        error = "the number of interface scenes is damaged";
        return false;
    }
    // Bounded by the file as above: every name takes at least four bytes.
    for (std::int32_t index = 0; index < count; ++index) {
        std::u16string name;
        reader.ReadString(name);
        if (reader.Failed()) {
            error = "the list of interface scenes is damaged";
            return false;
        }
        if (ScenesManager::GetSingleton().FindInterfaceScene(name) == nullptr) {
            error = "the interface scene \"" + Utf8(name) + "\" does not exist";
            return false;
        }
        names.push_back(std::move(name));
    }
    return true;
}

bool ReadPlaylist(Serializer& reader, std::u16string& playlist, std::string& error)
{
    reader.ReadString(playlist);
    if (!reader.Failed())
        return true;
    error = "the playlist name is damaged";
    return false;
}

// Creates none, unlike the resource manager's get-or-create.
const Character* FindCharacter(const std::u16string& name)
{
    const ResourceManager* resources = ResourceManager::GetSingletonPtr();
    if (resources == nullptr)
        return nullptr;
    const auto found = resources->GetCharacters().find(name);
    return found != resources->GetCharacters().end() ? found->second.get() : nullptr;
}

bool ReadPoses(Serializer& reader, std::vector<std::pair<std::u16string, std::u16string>>& poses, std::string& error)
{
    std::int32_t count = -1;
    reader.ReadInt(count);
    if (reader.Failed() || count < 0) {
        error = "the number of character poses is damaged";
        return false;
    }
    // Bounded by the file: every record takes at least eight bytes.
    for (std::int32_t index = 0; index < count; ++index) {
        std::u16string name;
        std::u16string pose;
        reader.ReadString(name);
        reader.ReadString(pose);
        if (reader.Failed()) {
            error = "the character poses are damaged";
            return false;
        }
        const Character* character = FindCharacter(name);
        if (character == nullptr || character->FindPose(pose) == nullptr) {
            error = "the character \"" + Utf8(name) + "\" has no pose \"" + Utf8(pose) + "\"";
            return false;
        }
        poses.emplace_back(std::move(name), std::move(pose));
    }
    return true;
}

bool ReadEnd(Serializer& reader, const std::string& last, std::string& error)
{
    bool extra = false;
    reader.ReadBool(extra);
    if (reader.Failed())
        return true;
    error = "data follows the " + last;
    return false;
}

// What follows the playlist name: the poses from version 2 on, the history from version 3 on, then nothing.
bool ReadVersionedTail(Serializer& reader, std::int32_t version, SaveContents& contents, std::string& error)
{
    if (version == kUnversioned)
        return ReadEnd(reader, "playlist name", error);
    if (!ReadPoses(reader, contents.poses, error))
        return false;
    if (version == kPosesVersion)
        return ReadEnd(reader, "character poses", error);
    contents.keepsHistory = true;
    return HistoryLog::Read(reader, contents.history, error) && ReadEnd(reader, "history", error);
}

// The whole save, checked without touching the running game.
std::optional<SaveContents> ReadSave(const std::string& bytes, std::string& error)
{
    std::int32_t version = 0;
    const std::unique_ptr<BinarySerializer> opened = OpenAtSceneName(bytes, version, error);
    if (!opened)
        return std::nullopt;
    BinarySerializer& reader = *opened;
    SaveContents contents;
    reader.ReadString(contents.scene);
    if (reader.Failed()) {
        error = "the scene name is damaged";
        return std::nullopt;
    }
    if (!CheckSceneBlock(reader, contents.scene, error) || !CheckTriggerBlock(reader, error) ||
        !ReadInterfaces(reader, contents.interfaces, error) || !ReadPlaylist(reader, contents.playlist, error))
        return std::nullopt;
    if (!ReadVersionedTail(reader, version, contents, error))
        return std::nullopt;
    return contents;
}

// The scene block and the triggers read again, now into the game; the bytes were checked whole already.
void LoadStateBlocks(const std::string& bytes, Scene& scene)
{
    std::int32_t version = 0;
    std::string error;
    const std::unique_ptr<BinarySerializer> reader = OpenAtSceneName(bytes, version, error);
    std::u16string name;
    if (reader != nullptr)
        reader->ReadString(name);
    if (reader == nullptr || !scene.Load(*reader)) {
        HgeManager::Log("A checked save did not read back; the scene starts empty");
        return;
    }
    if (TriggerManager* triggers = TriggerManager::GetSingletonPtr())
        triggers->Load(*reader);
}

// The checked save replaces the running game. The triggers are in place before the scene resumes, since the command
// at the saved position runs again at once and may read them. A saved history goes in last, as the line shown again
// there is in it already; a save without one starts the history afresh with that line.
void ApplySave(const std::string& bytes, SaveContents contents)
{
    ScenesManager& scenes = ScenesManager::GetSingleton();
    Scene* scene = scenes.FindScene(contents.scene);
    scene->Reset();
    LoadStateBlocks(bytes, *scene);
    HistoryLog* history = HistoryLog::GetSingletonPtr();
    if (history != nullptr && !contents.keepsHistory)
        history->Clear();
    // Before the scene resumes: the command at the saved position runs again and may change a pose itself.
    if (ResourceManager* resources = ResourceManager::GetSingletonPtr()) {
        for (const auto& [character, pose] : contents.poses)
            resources->GetCharacter(character)->SetPose(pose);
    }
    scenes.StartScene(contents.scene, SceneStart::Resume);
    scenes.ClearInterfaces();
    for (const std::u16string& interface : contents.interfaces)
        scenes.LaunchInterface(interface);
    if (SoundManager* sound = SoundManager::GetSingletonPtr()) {
        if (contents.playlist.empty())
            sound->ClearPlaylist();
        else
            sound->SetPlaylist(contents.playlist, true);
    }
    if (history != nullptr && contents.keepsHistory)
        history->Restore(std::move(contents.history));
}

// The label under a save on the save/load screen: its kind before the date, but for the numbered saves.
std::string SlotLabel(SaveKind kind, std::time_t time)
{
    switch (kind) {
    case SaveKind::Quick:
        return "Quick " + DateLabel(time);
    case SaveKind::Auto:
        return "Auto " + DateLabel(time);
    case SaveKind::Numbered:
        break;
    }
    return DateLabel(time);
}

} // namespace

SaveGames::SaveGames() = default;

SaveGames::~SaveGames() = default;

void SaveGames::Save()
{
    UserFiles::CreateFolders();
    SaveTo(NextSavePath());
}

void SaveGames::QuickSave()
{
    if (!ScenesManager::GetSingleton().IsStoryInFront())
        return;
    UserFiles::CreateFolders();
    SaveTo(TextCodec::Utf8ToWide(SaveSlots::QuickPath()));
}

void SaveGames::QuickLoad()
{
    const std::string path = SaveSlots::QuickPath();
    // Without a quick save the key is simply not for anything yet: nothing to tell the author.
    if (!ScenesManager::GetSingleton().IsStoryInFront() || !Exists(path))
        return;
    LoadLogged(TextCodec::Utf8ToWide(path));
}

// The new save is complete in its temporary file before the older ones move, so a failed write costs none of them.
void SaveGames::AutoSave()
{
    const PlayerSettings* settings = PlayerSettings::GetSingletonPtr();
    ScenesManager& scenes = ScenesManager::GetSingleton();
    const Scene* scene = scenes.GetCurrentScene();
    if (m_loading || (settings != nullptr && !settings->Get().autoSave) || !scenes.IsStoryCurrent() || scene == nullptr)
        return;
    UserFiles::CreateFolders();
    const std::string path = SaveSlots::AutoPath(1);
    std::string error;
    if (!WriteSave(TextCodec::Utf8ToWide(SaveSlots::AutoTemporaryPath()), *scene)) {
        HgeManager::Log("Cannot write the auto save " + SaveSlots::AutoTemporaryPath() +
                        "; the older auto saves stay as they were");
        return;
    }
    if (!SaveSlots::RotateAuto(error)) {
        HgeManager::Log("Cannot put the auto save in place as " + path + ": " + error);
        return;
    }
    Trace::Write("save", std::string_view(path));
    scenes.RequestSnapshot(SaveSlots::ThumbnailOf(path));
    RefreshCanContinue();
}

void SaveGames::Continue()
{
    if (const std::optional<std::string> newest = SaveSlots::Newest())
        LoadLogged(TextCodec::Utf8ToWide(*newest));
}

void SaveGames::RefreshCanContinue() const
{
    if (TriggerManager* triggers = TriggerManager::GetSingletonPtr())
        triggers->Set(u"_cancontinue", SaveSlots::Newest() ? u"yes" : u"no");
}

// The file is written whole to a temporary one that then replaces it, so an older save of the name stays intact
// until the new one is complete.
void SaveGames::SaveTo(const std::u16string& path)
{
    ScenesManager& scenes = ScenesManager::GetSingleton();
    const Scene* scene = scenes.GetCurrentScene();
    if (scene == nullptr) {
        HgeManager::Log("Cannot save the game: no scene is running");
        return;
    }
    const std::string fileName = Utf8(path);
    // Neither thumbnail nor notice for a save that is not there: the player must not believe the game was saved.
    if (!WriteSave(path, *scene)) {
        HgeManager::Log("Cannot write the save " + fileName + "; the game was not saved");
        return;
    }
    // What was read up to a save is kept with it, whatever becomes of the run.
    if (ReadMarks* marks = ReadMarks::GetSingletonPtr())
        marks->Save();
    scenes.RequestSnapshot(SaveSlots::ThumbnailOf(fileName));
    Trace::Write("save", std::string_view(fileName));
    RefreshCanContinue();
    Poster* notice = m_saveLoad != nullptr ? m_saveLoad->GetNotice() : nullptr;
    if (notice != nullptr) {
        notice->Restart();
        scenes.SetNotice(notice);
    }
}

void SaveGames::OpenSaveLoad()
{
    if (m_saveLoad != nullptr)
        RebuildSaveList(*m_saveLoad);
    ScenesManager::GetSingleton().ShowSaveLoad();
}

void SaveGames::LoadSelected()
{
    ScenesManager::GetSingleton().HideSaveLoad();
    const GalleryManager* galleries = GalleryManager::GetSingletonPtr();
    const std::u16string path = galleries != nullptr ? galleries->GetSelectedSave() : std::u16string();
    if (path.empty()) {
        HgeManager::Log("Cannot load a save: none is selected");
        return;
    }
    LoadLogged(path);
}

void SaveGames::LoadLogged(const std::u16string& path)
{
    std::string error;
    if (!Load(path, error))
        HgeManager::Log("Cannot load the save " + Utf8(path) + ": " + error);
}

void SaveGames::DeleteSelected()
{
    ScenesManager& scenes = ScenesManager::GetSingleton();
    scenes.HideSaveLoad();
    if (GalleryManager* galleries = GalleryManager::GetSingletonPtr()) {
        const std::string save = Utf8(galleries->GetSelectedSave());
        // Only a save file and its twin: a selection is never a licence to delete anything else.
        if (save.ends_with(kSaveExtension)) {
            std::error_code error;
            std::filesystem::remove(save, error);
            std::filesystem::remove(SaveSlots::ThumbnailOf(save), error);
        }
        galleries->SetSelectedSave({});
    }
    RefreshCanContinue();
    if (m_saveLoad != nullptr)
        RebuildSaveList(*m_saveLoad);
    scenes.ShowSaveLoad();
}

void SaveGames::RebuildSaveList(Gallery& gallery) const
{
    gallery.Clear();
    for (const SaveSlot& slot : SaveSlots::List()) {
        const std::string thumbnail = SaveSlots::ThumbnailOf(slot.path);
        const std::optional<std::time_t> time = ThumbnailTime(thumbnail);
        if (!time)
            continue;
        gallery.AddItem(TextCodec::Utf8ToWide(thumbnail), kAlwaysOpen,
                        TextCodec::Utf8ToWide(SlotLabel(slot.kind, *time)));
    }
}

std::u16string SaveGames::NextSavePath()
{
    const std::string folder = Utf8(UserFiles::GetSaveFolder());
    std::string path = UserFiles::NextNumberedFile(folder, kSaveExtension);
    // Past the highest save a file of the next number may still lie about (a thumbnail whose save went, or a save
    // made meanwhile): counting goes on rather than overwriting it.
    const std::string stem = std::filesystem::path(path).stem().string();
    std::int64_t number = 0;
    std::from_chars(stem.data(), stem.data() + stem.size(), number);
    while (Exists(path) || Exists(SaveSlots::ThumbnailOf(path)))
        path = folder + Poco::NumberFormatter::format0(static_cast<Poco::Int64>(++number), 8) + kSaveExtension;
    return TextCodec::Utf8ToWide(path);
}

bool SaveGames::Load(const std::u16string& path, std::string& error)
{
    // Read once: the check and the load see the same bytes, whatever happens to the file meanwhile.
    const BinarySerializer file(path, BinarySerializer::Direction::Read);
    if (!file.IsOpen()) {
        error = "the file cannot be read";
        return false;
    }
    return Apply(file.Bytes(), Utf8(path), error);
}

std::string SaveGames::CopyState() const
{
    const Scene* scene = ScenesManager::GetSingleton().GetCurrentScene();
    if (scene == nullptr)
        return {};
    BinarySerializer writer;
    WriteState(writer, *scene);
    return writer.Bytes();
}

bool SaveGames::RestoreState(const std::string& state, std::string& error)
{
    return Apply(state, {}, error);
}

bool SaveGames::Apply(const std::string& bytes, const std::string& tracedPath, std::string& error)
{
    std::optional<SaveContents> contents = ReadSave(bytes, error);
    if (!contents)
        return false;
    if (!tracedPath.empty())
        Trace::Write("load", std::string_view(tracedPath));
    // The choice the loaded scene shows again is where the save was made, not a new moment to keep.
    m_loading = true;
    ApplySave(bytes, std::move(*contents));
    m_loading = false;
    return true;
}

} // namespace Vel
