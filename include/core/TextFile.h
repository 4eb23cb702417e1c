#pragma once

// Text files the author tools write (coverage, explore's report, a new game's scripts): each written whole or not at
// all, so a reader never meets half a file.

#include <string>

namespace Vel {

// Writes the text to a temporary file beside fileName and renames it over fileName; false with the reason in error.
[[nodiscard]] bool WriteTextFile(const std::string& fileName, const std::string& text, std::string& error);

} // namespace Vel
