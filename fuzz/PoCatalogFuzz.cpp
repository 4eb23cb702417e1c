// "lang/CODE.po", a game's translation, read through libgettextpo: whatever the file holds, the process goes on
// (the library's own error handlers would end it), and a catalog that is read finds each of its usable entries.
#include "data/PoCatalog.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    const auto catalog =
        Vel::PoCatalog::Read(std::string(reinterpret_cast<const char*>(data), size), "lang/xx.po", error);
    if (!catalog) {
        if (error.empty())
            __builtin_trap();
        return 0;
    }
    for (const Vel::PoEntry& entry : catalog->Entries()) {
        const std::u16string* found = catalog->Find(entry.context, entry.text);
        const bool usable = !entry.fuzzy && !entry.translation.empty();
        // A later entry of the same key cannot exist: libgettextpo refuses duplicates.
        if (usable && (found == nullptr || *found != entry.translation))
            __builtin_trap();
    }
    return 0;
}
