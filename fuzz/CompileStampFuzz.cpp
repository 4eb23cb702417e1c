// The record of compiled scripts ("cvls.stamp"): whatever it holds, the records read from it are written and read
// back the same, so a stamp the engine writes never loses what it recorded.
#include "data/CompileStamp.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto stamp = Vel::CompileStamp::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto again = Vel::CompileStamp::Parse(stamp.Format());
    if (!again.SameRecords(stamp) || again.BegunAt() != stamp.BegunAt())
        __builtin_trap();
    const Vel::CompileRecord* record = stamp.Find("script.vls");
    if (record != nullptr)
        (void)stamp.Unchanged(record->source, record->twin);
    return 0;
}
