#pragma once

// The headless 2D library for the fuzz targets that draw on it (fonts, sounds, saved games): made once per process,
// started, never shut down, as libFuzzer ends the process without unwinding.

#include "platform/Hge.h"
#include "platform/PlatformOptions.h"

#include <cstdlib>

namespace Vel::Fuzz {

inline HGE* HeadlessHge()
{
    static HGE* s_hge = [] {
        PlatformOptions options;
        options.headless = true;
        SetPlatformOptions(options);
        HGE* hge = hgeCreate(HGE_VERSION);
        hge->System_SetState(HGE_SCREENWIDTH, 64);
        hge->System_SetState(HGE_SCREENHEIGHT, 48);
        if (!hge->System_Initiate())
            std::abort();
        return hge;
    }();
    return s_hge;
}

} // namespace Vel::Fuzz
