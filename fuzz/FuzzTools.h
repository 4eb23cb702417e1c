#pragma once

// Shared by the fuzz targets: a scratch folder of the process for readers that take a file name, made once. The
// working folder stays as it is: libFuzzer may read its corpus by relative names at any time.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace Vel::Fuzz {

inline const std::filesystem::path& ScratchFolder()
{
    static const std::filesystem::path s_folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "velloria-fuzz-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr)
            std::abort();
        return std::filesystem::path(pattern);
    }();
    return s_folder;
}

// Writes the input into the scratch folder; returns the file's full path.
inline std::string WriteScratch(const std::string& name, const std::uint8_t* data, std::size_t size)
{
    const std::filesystem::path path = ScratchFolder() / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path.string();
}

} // namespace Vel::Fuzz
