// A story coverage file a playtester sent back: whatever it holds, it is refused with a reason or read whole; what
// was read writes back as a file that reads again the same, and merging it with itself changes nothing.
#include "data/CoverageFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    std::optional<Vel::CoverageFile> coverage =
        Vel::CoverageFile::Read(std::string(reinterpret_cast<const char*>(data), size), "coverage.json", error);
    if (!coverage) {
        if (error.empty())
            __builtin_trap();
        return 0;
    }
    const std::string written = coverage->Json();
    const std::optional<Vel::CoverageFile> reread = Vel::CoverageFile::Read(written, "written.json", error);
    if (!reread || reread->Json() != written)
        __builtin_trap();
    coverage->Merge(*reread);
    if (coverage->Json() != written)
        __builtin_trap();
    return 0;
}
