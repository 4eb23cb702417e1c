#pragma once

// One stored copy of each distinct short name that many script objects repeat (speakers, voice files), so that a
// long story keeps a pointer per line instead of a string. The table lives for the whole process and only grows:
// the commands that point into it sit in scenes, menus and galleries, freed at shut-down in an order that no
// narrower owner could outlast safely, and a game names only a handful of speakers and voices per line.

#include <string>
#include <string_view>

namespace Vel {

class NameTable
{
public:
    // The stored copy equal to name, made on first use; it stays valid and unchanged until the process ends.
    // Parsing runs on one thread; the table is not guarded for others.
    [[nodiscard]] static const std::u16string& Intern(std::u16string_view name);
};

} // namespace Vel
