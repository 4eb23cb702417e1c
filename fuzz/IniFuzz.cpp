// The ini reader of "preferences.ini".
#include "platform/IniFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const Vel::IniFile ini = Vel::IniFile::Parse(std::string(reinterpret_cast<const char*>(data), size));
    (void)ini.Get("engine", "codepage");
    (void)ini.Get("archives", "1");
    return 0;
}
