// The replay-input reader of --input.
#include "platform/InputScript.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string error;
    (void)Vel::InputScript::Parse(std::string(reinterpret_cast<const char*>(data), size), error);
    return 0;
}
