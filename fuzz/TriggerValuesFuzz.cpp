// "sys0.dfn", the persistent trigger values: read at start-up, written back at the end. Whatever was read of a
// damaged file is written back as a whole file that reads again to the same values.
#include "FuzzTools.h"
#include "core/UserFiles.h"
#include "scene/TriggerManager.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

namespace {

std::map<std::u16string, std::u16string> Values(const Vel::TriggerManager& triggers)
{
    std::map<std::u16string, std::u16string> values;
    for (const auto& [name, trigger] : triggers.Triggers())
        values[name] = trigger.value;
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Vel::UserFiles::SetUserFolderOverride(Vel::Fuzz::ScratchFolder().string());
    Vel::Fuzz::WriteScratch("sys0.dfn", data, size);
    std::map<std::u16string, std::u16string> written;
    {
        Vel::TriggerManager triggers;
        (void)triggers.LoadValues();
        (void)triggers.Get(u"finished");
        if (!triggers.SaveValues())
            return 0;
        written = Values(triggers);
    }
    Vel::TriggerManager reread;
    if (!reread.LoadValues() || Values(reread) != written)
        __builtin_trap();
    return 0;
}
