#include "saves/SaveSlots.h"

#include "core/TextCodec.h"
#include "core/UserFiles.h"

#include <filesystem>
#include <system_error>

namespace Vel {

namespace {

namespace fs = std::filesystem;

std::string Folder()
{
    return TextCodec::WideToUtf8(UserFiles::GetSaveFolder());
}

bool IsFile(const std::string& path)
{
    std::error_code error;
    return fs::is_regular_file(path, error);
}

bool IsAutoOrQuick(const std::string& path)
{
    if (path == SaveSlots::QuickPath())
        return true;
    for (int number = 1; number <= SaveSlots::kAutoCount; ++number) {
        if (path == SaveSlots::AutoPath(number))
            return true;
    }
    return false;
}

// A thumbnail follows its save; without one to move, none may stay at the new place to be taken for it.
void MoveThumbnail(const std::string& from, const std::string& to)
{
    std::error_code error;
    if (IsFile(SaveSlots::ThumbnailOf(from)))
        fs::rename(SaveSlots::ThumbnailOf(from), SaveSlots::ThumbnailOf(to), error);
    else
        fs::remove(SaveSlots::ThumbnailOf(to), error);
}

} // namespace

std::vector<SaveSlot> SaveSlots::List()
{
    std::vector<SaveSlot> slots;
    if (IsFile(QuickPath()))
        slots.push_back({QuickPath(), SaveKind::Quick});
    for (int number = 1; number <= kAutoCount; ++number) {
        if (IsFile(AutoPath(number)))
            slots.push_back({AutoPath(number), SaveKind::Auto});
    }
    for (std::string& path : UserFiles::ListFiles(Folder() + "*.sav")) {
        if (!IsAutoOrQuick(path) && IsFile(path))
            slots.push_back({std::move(path), SaveKind::Numbered});
    }
    return slots;
}

std::optional<std::string> SaveSlots::Newest()
{
    std::optional<std::string> newest;
    fs::file_time_type newestTime;
    for (const SaveSlot& slot : List()) {
        std::error_code error;
        const fs::file_time_type time = fs::last_write_time(slot.path, error);
        if (!error && (!newest || time > newestTime)) {
            newest = slot.path;
            newestTime = time;
        }
    }
    return newest;
}

std::string SaveSlots::QuickPath()
{
    return Folder() + "quick.sav";
}

std::string SaveSlots::AutoPath(int number)
{
    return Folder() + "auto-" + std::to_string(number) + ".sav";
}

std::string SaveSlots::AutoTemporaryPath()
{
    return Folder() + "auto.new";
}

bool SaveSlots::RotateAuto(std::string& error)
{
    // Oldest first, so that no save is overwritten before it has moved on; the oldest is overwritten.
    for (int number = kAutoCount - 1; number >= 1; --number) {
        if (!IsFile(AutoPath(number)))
            continue;
        std::error_code moved;
        fs::rename(AutoPath(number), AutoPath(number + 1), moved);
        if (!moved)
            MoveThumbnail(AutoPath(number), AutoPath(number + 1));
    }
    std::error_code placed;
    fs::rename(AutoTemporaryPath(), AutoPath(1), placed);
    if (placed) {
        error = placed.message();
        return false;
    }
    return true;
}

std::string SaveSlots::ThumbnailOf(const std::string& save)
{
    const std::size_t slash = save.find_last_of('/');
    const std::size_t dot = save.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? save.substr(0, dot) : save) + ".bmp";
}

} // namespace Vel
