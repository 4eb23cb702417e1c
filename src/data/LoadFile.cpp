#include "data/LoadFile.h"

#include "core/HgeManager.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace Vel {

namespace {

std::optional<std::string> LoadFromArchives(const std::string& utf8Name)
{
    HGE* hge = HgeManager::Interface();
    if (!hge)
        return std::nullopt;
    std::uint32_t size = 0;
    void* data = hge->Resource_Load(utf8Name.c_str(), &size);
    if (!data)
        return std::nullopt;
    std::string bytes(static_cast<const char*>(data), size);
    hge->Resource_Free(data);
    return bytes;
}

} // namespace

std::optional<std::string> LoadDiskFile(const std::string& utf8Name)
{
    // A directory opens as a stream on this system and reports a nonsense size.
    std::error_code error;
    if (!std::filesystem::is_regular_file(utf8Name, error))
        return std::nullopt;
    std::ifstream input(utf8Name, std::ios::binary);
    if (!input)
        return std::nullopt;
    input.seekg(0, std::ios::end);
    const std::streamoff size = input.tellg();
    if (size < 0)
        return std::nullopt;
    input.seekg(0, std::ios::beg);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    if (!input.read(bytes.data(), size))
        return std::nullopt;
    return bytes;
}

bool FileExists(const std::string& utf8Name)
{
    std::error_code error;
    if (std::filesystem::is_regular_file(utf8Name, error))
        return true;
    HGE* hge = HgeManager::Interface();
    if (hge == nullptr)
        return false;
    void* data = hge->Resource_Load(utf8Name.c_str());
    hge->Resource_Free(data);
    return data != nullptr;
}

std::optional<std::string> LoadFile(const std::string& utf8Name)
{
    if (utf8Name.empty())
        return std::nullopt;
    if (auto bytes = LoadDiskFile(utf8Name))
        return bytes;
    return LoadFromArchives(utf8Name);
}

} // namespace Vel
