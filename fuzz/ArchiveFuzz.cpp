// Archive listing: a file named in "preferences.ini" as an archive, opened with the engine's password and its
// entries read.
#include "FuzzTools.h"
#include "core/HgeManager.h"
#include "platform/ArchiveSet.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = Vel::Fuzz::WriteScratch("fuzz.pak", data, size);
    Vel::ArchiveSet archives;
    std::string error;
    if (!archives.Attach(path, Vel::HgeManager::kArchivePassword, error))
        return 0;
    for (const char* name : {"system.cvls", "./script.cvls", "pics/a.png"}) {
        std::uint32_t length = 0;
        if (void* block = archives.Load(name, length, error))
            std::free(block);
    }
    return 0;
}
