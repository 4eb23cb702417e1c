#pragma once

// The texts and speeches the player has read, remembered across runs in "read.dfn" of the game's user folder, so
// that skip mode can go through what was read before and stop at what was not. A statement is known by its scene's
// name, its position in the scene and a hash of its text: editing one scene leaves the marks of every other scene
// valid, and an edited line counts as unread. Start-up loads the file once the user folder is known; the file is
// written at every save and at the end of the run. The text boxes mark a statement once it shows whole; the text
// and speech commands ask whether theirs was read.
//
// The file: int32 magic, int32 version, int32 count, then count keys of two int32 each (low half first), in
// ascending order. A file that does not read back exactly so is named in the log and counts as empty.

#include "core/VelSingleton.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>

namespace Vel {

class ReadMarks : public Singleton<ReadMarks>
{
public:
    static constexpr const char16_t* kFileName = u"read.dfn";
    static constexpr std::int32_t kMagic = 0x4B524D56; // "VMRK" in the file's byte order
    static constexpr std::int32_t kVersion = 1;

    ReadMarks() = default;
    ~ReadMarks() = default;

    // Never 0, which stands for "no statement".
    [[nodiscard]] static std::uint64_t KeyOf(std::u16string_view scene, std::int32_t position,
                                             std::u16string_view text);

    // The user folder's file, or the named one; a missing file gives no marks, a damaged one is logged and gives
    // none. Returns whether the file was missing or read whole.
    bool Load();
    bool LoadFrom(const std::u16string& file);
    // Writes the file through a temporary one when a mark was added since the last load or save; false, logged,
    // when it cannot be written (the old file stays).
    bool Save();
    bool SaveTo(const std::u16string& file);

    void Mark(std::uint64_t key);
    [[nodiscard]] bool IsRead(std::uint64_t key) const { return m_keys.contains(key); }
    [[nodiscard]] std::size_t Count() const { return m_keys.size(); }

private:
    std::unordered_set<std::uint64_t> m_keys;
    bool m_changed = false; // a mark not yet written
};

} // namespace Vel
