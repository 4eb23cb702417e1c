#pragma once

// Whole-file reading for the data classes (source scripts, compiled scripts): the disk first, then the archives
// attached to the 2D library when HgeManager exists (tests run without one: disk only).

#include <optional>
#include <string>

namespace Vel {

// The file's bytes; nullopt when neither the disk nor an archive has a file of that UTF-8 name.
[[nodiscard]] std::optional<std::string> LoadFile(const std::string& utf8Name);
// Whether the disk or an archive has a file of that UTF-8 name, without keeping its bytes.
[[nodiscard]] bool FileExists(const std::string& utf8Name);
// The disk only: nullopt when there is no regular file of that name.
[[nodiscard]] std::optional<std::string> LoadDiskFile(const std::string& utf8Name);

} // namespace Vel
