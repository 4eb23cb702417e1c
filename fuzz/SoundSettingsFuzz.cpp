// "sys1.dfn", the four volumes: a short or damaged file keeps the defaults from the first value it cannot give, and
// no value read makes a volume outside 0 to 100 on the sliders' scale.
#include "FuzzTools.h"
#include "HeadlessPlatform.h"
#include "core/UserFiles.h"
#include "sound/SoundManager.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

namespace {

// Never destroyed: the process ends with the 2D library still up, and the pointer keeps the manager reachable,
// which is no leak.
Vel::SoundManager* s_sound = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    Vel::Fuzz::HeadlessHge();
    Vel::UserFiles::SetUserFolderOverride(Vel::Fuzz::ScratchFolder().string());
    s_sound = new Vel::SoundManager();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Vel::Fuzz::WriteScratch("sys1.dfn", data, size);
    s_sound->LoadSettings();
    for (float volume :
         {s_sound->GetMusicVolume(), s_sound->GetVoiceVolume(), s_sound->GetSfxVolume(), s_sound->GetMasterVolume()})
        if (!std::isfinite(volume) || volume < 0.0F || volume > 100.0F)
            __builtin_trap();
    return 0;
}
