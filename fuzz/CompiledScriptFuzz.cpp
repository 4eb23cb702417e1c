// The compiled-script reader: a "*.cvls" file of length-prefixed records, read line by line to its end.
#include "FuzzTools.h"
#include "core/TextCodec.h"
#include "data/Crypter.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = Vel::Fuzz::WriteScratch("fuzz.cvls", data, size);
    Vel::Crypter reader;
    if (!reader.OpenRead(Vel::TextCodec::Utf8ToWide(path)))
        return 0;
    // Each record is at least its four count bytes, so a reader that ends makes fewer lines than the file has bytes.
    for (std::size_t lines = 0; !reader.Eof(); ++lines) {
        if (lines > size + 1)
            __builtin_trap();
        (void)reader.ReadLine();
    }
    return 0;
}
