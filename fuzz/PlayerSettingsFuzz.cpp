// "settings.ini", the player's preferences: whatever the file holds, the numbers stay in 0..10, and what is written
// back reads again as the same preferences without a complaint.
#include "FuzzTools.h"
#include "core/PlayerSettings.h"
#include "core/UserFiles.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// Never destroyed: the pointer keeps the manager reachable, which is no leak.
Vel::PlayerSettings* s_settings = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    Vel::UserFiles::SetUserFolderOverride(Vel::Fuzz::ScratchFolder().string());
    s_settings = new Vel::PlayerSettings();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Vel::Fuzz::WriteScratch(Vel::PlayerSettings::kFileName, data, size);
    s_settings->Load();
    const Vel::PlayerPreferences& read = s_settings->Get();
    for (std::int32_t value : {read.textSpeed, read.autoSpeed})
        if (value < 0 || value > Vel::PlayerSettings::kLargest)
            __builtin_trap();
    const std::string written = Vel::PlayerSettings::Format(read);
    std::vector<std::string> complaints;
    const Vel::PlayerPreferences again = Vel::PlayerSettings::Parse(written, "settings.ini", &complaints);
    if (!complaints.empty() || Vel::PlayerSettings::Format(again) != written)
        __builtin_trap();
    return 0;
}
