#include "data/ReadMarks.h"

#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "data/BinarySerializer.h"

#include <algorithm>
#include <vector>

namespace Vel {

namespace {

// FNV-1a over the UTF-16 code units: stable across builds and platforms, as the file outlives the engine version.
constexpr std::uint64_t kFnvOffset = 14695981039346656037ull;
constexpr std::uint64_t kFnvPrime = 1099511628211ull;

std::uint64_t Mix(std::uint64_t hash, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        hash ^= (value >> shift) & 0xFFu;
        hash *= kFnvPrime;
    }
    return hash;
}

std::uint64_t Mix(std::uint64_t hash, std::u16string_view text)
{
    for (const char16_t unit : text)
        hash = Mix(hash, unit);
    // The length ends the field, so "ab"+"c" and "a"+"bc" differ.
    return Mix(hash, static_cast<std::uint32_t>(text.size()));
}

bool ReadKeys(BinarySerializer& reader, std::unordered_set<std::uint64_t>& keys)
{
    std::int32_t magic = 0, version = 0, count = -1;
    reader.ReadInt(magic);
    reader.ReadInt(version);
    reader.ReadInt(count);
    if (reader.Failed() || magic != ReadMarks::kMagic || version != ReadMarks::kVersion || count < 0)
        return false;
    for (std::int32_t i = 0; i < count && !reader.Failed(); ++i) {
        std::int32_t low = 0, high = 0;
        reader.ReadInt(low);
        reader.ReadInt(high);
        keys.insert(static_cast<std::uint32_t>(low) | static_cast<std::uint64_t>(static_cast<std::uint32_t>(high))
                                                          << 32);
    }
    return !reader.Failed() && reader.AtEnd();
}

} // namespace

std::uint64_t ReadMarks::KeyOf(std::u16string_view scene, std::int32_t position, std::u16string_view text)
{
    std::uint64_t hash = Mix(kFnvOffset, scene);
    hash = Mix(hash, static_cast<std::uint32_t>(position));
    hash = Mix(hash, text);
    return hash != 0 ? hash : 1;
}

bool ReadMarks::Load()
{
    return LoadFrom(UserFiles::GetUserFolder() + kFileName);
}

bool ReadMarks::LoadFrom(const std::u16string& file)
{
    m_keys.clear();
    m_changed = false;
    const std::string fileName = TextCodec::WideToUtf8(file);
    BinarySerializer reader(file, BinarySerializer::Direction::Read);
    if (!reader.IsOpen()) {
        if (reader.IsMissing())
            return true;
        HgeManager::Log(fileName + " cannot be read; every text counts as unread");
        return false;
    }
    if (ReadKeys(reader, m_keys))
        return true;
    m_keys.clear();
    HgeManager::Log(fileName + " is damaged; every text counts as unread");
    return false;
}

bool ReadMarks::Save()
{
    return SaveTo(UserFiles::GetUserFolder() + kFileName);
}

bool ReadMarks::SaveTo(const std::u16string& file)
{
    if (!m_changed)
        return true;
    // Sorted: the same marks always give the same file.
    std::vector<std::uint64_t> keys(m_keys.begin(), m_keys.end());
    std::sort(keys.begin(), keys.end());
    BinarySerializer writer(file, BinarySerializer::Direction::Write);
    writer.WriteInt(kMagic);
    writer.WriteInt(kVersion);
    writer.WriteInt(static_cast<std::int32_t>(keys.size()));
    for (const std::uint64_t key : keys) {
        writer.WriteInt(static_cast<std::int32_t>(static_cast<std::uint32_t>(key)));
        writer.WriteInt(static_cast<std::int32_t>(static_cast<std::uint32_t>(key >> 32)));
    }
    if (writer.Commit()) {
        m_changed = false;
        return true;
    }
    HgeManager::Log("cannot write " + TextCodec::WideToUtf8(file) + "; the texts read since the last save are lost");
    return false;
}

void ReadMarks::Mark(std::uint64_t key)
{
    if (key != 0 && m_keys.insert(key).second)
        m_changed = true;
}

} // namespace Vel
