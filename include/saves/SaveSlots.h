#pragma once

// The files of the save folder by kind: the quick save "quick.sav", the auto saves "auto-1.sav" (the newest) to
// "auto-3.sav", and the numbered saves; each ".sav" has its ".bmp" thumbnail beside it. The save games list them for
// the save/load screen and for "continue", and rotate the auto saves here.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Vel {

enum class SaveKind : std::uint8_t
{
    Quick,
    Auto,
    Numbered, // and any other ".sav" the folder holds
};

struct SaveSlot
{
    std::string path; // UTF-8
    SaveKind kind = SaveKind::Numbered;
};

class SaveSlots
{
public:
    static constexpr int kAutoCount = 3;

    // The quick save, the auto saves newest first, then the other saves in name order; only files that exist.
    [[nodiscard]] static std::vector<SaveSlot> List();
    // The save written last, by the time its file was written; nothing when the folder holds none.
    [[nodiscard]] static std::optional<std::string> Newest();
    [[nodiscard]] static std::string QuickPath();
    // number: 1 (the newest) to kAutoCount.
    [[nodiscard]] static std::string AutoPath(int number);
    // Where a new auto save is written completely before it takes its place; no ".sav", so never listed.
    [[nodiscard]] static std::string AutoTemporaryPath();
    // The written auto save becomes "auto-1", each older one moving one place on and the oldest dropping out. The
    // thumbnails move with their saves; one that is missing leaves none behind at its new place. False, with the
    // reason, when the new save could not be put in place.
    [[nodiscard]] static bool RotateAuto(std::string& error);
    // The same path up to its last '.' (of the file name), then ".bmp".
    [[nodiscard]] static std::string ThumbnailOf(const std::string& save);
};

} // namespace Vel
