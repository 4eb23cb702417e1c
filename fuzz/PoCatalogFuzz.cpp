// "lang/CODE.po", a game's translation, read through libgettextpo: whatever the file holds, the process goes on
// (the library's own error handlers would end it), and a catalog that is read finds each of its usable entries.
#include "data/PoCatalog.h"

#include <cstddef>
#include <cstdint>
#include <map>
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
    // The first usable entry of a key is the one found (strings cut at a NUL byte can make two entries one key);
    // an entry of an empty msgctxt is a key of its own that no game text looks up.
    std::map<std::u16string, std::u16string> first;
    for (const Vel::PoEntry& entry : catalog->Entries()) {
        if (!entry.fuzzy && !entry.translation.empty())
            first.emplace(entry.Key(), entry.translation);
    }
    for (const Vel::PoEntry& entry : catalog->Entries()) {
        if (entry.context && entry.context->empty())
            continue;
        const std::u16string* found = catalog->Find(entry.context.value_or(u""), entry.text);
        const auto expected = first.find(entry.Key());
        if ((found == nullptr) != (expected == first.end()) || (found != nullptr && *found != expected->second))
            __builtin_trap();
    }
    return 0;
}
