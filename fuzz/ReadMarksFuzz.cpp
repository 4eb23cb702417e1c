// "read.dfn", the texts the player has read: whatever the file holds, it is read whole or not at all, and what is
// written back reads again as the same marks.
#include "FuzzTools.h"
#include "core/TextCodec.h"
#include "data/ReadMarks.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::u16string input = Vel::TextCodec::Utf8ToWide(Vel::Fuzz::WriteScratch("read.dfn", data, size));
    const std::u16string output = Vel::TextCodec::Utf8ToWide((Vel::Fuzz::ScratchFolder() / "out.dfn").string());
    std::size_t written = 0;
    {
        Vel::ReadMarks marks;
        const bool whole = marks.LoadFrom(input);
        if (!whole && marks.Count() != 0)
            __builtin_trap();
        // A new mark makes the save write the file.
        marks.Mark(Vel::ReadMarks::KeyOf(u"fuzz", static_cast<std::int32_t>(size), u"line"));
        if (!marks.SaveTo(output))
            return 0;
        written = marks.Count();
    }
    Vel::ReadMarks reread;
    if (!reread.LoadFrom(output) || reread.Count() != written)
        __builtin_trap();
    return 0;
}
