#pragma once

// The letters of a story's lines, kept end to end in large blocks for the whole process. A long story holds a
// hundred thousand short lines, and a heap block each would cost nearly as much in the allocator's headers and
// rounding as the letters themselves. Like the NameTable it only grows: the commands that point into it are freed
// at shut-down in an order no narrower owner could outlast safely, and the texts of scripts read again in dev mode
// stay until the process ends.

#include <cstddef>

namespace Vel {

class TextArena
{
public:
    // Room for size bytes, aligned for UTF-16 code units, valid and untouched by anyone else until the process
    // ends. Parsing runs on one thread; the arena is not guarded for others.
    [[nodiscard]] static char* Allocate(std::size_t size);
};

} // namespace Vel
