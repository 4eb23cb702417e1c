#pragma once

// What the benchmarks share: the 2D library's headless display and picture files written for them.

#include "platform/Hge.h"
#include "platform/PlatformOptions.h"

#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace Vel::BenchTools {

// The headless display at the given screen size; nullptr (and the benchmark skipped) on failure.
inline HGE* OpenHeadless(benchmark::State& state, int width, int height)
{
    PlatformOptions options;
    options.headless = true;
    SetPlatformOptions(options);
    HGE* hge = hgeCreate(HGE_VERSION);
    hge->System_SetState(HGE_SCREENWIDTH, width);
    hge->System_SetState(HGE_SCREENHEIGHT, height);
    if (hge->System_Initiate())
        return hge;
    state.SkipWithError("the headless display did not open");
    hge->Release();
    return nullptr;
}

inline void CloseHeadless(HGE* hge)
{
    hge->System_Shutdown();
    hge->Release();
}

// Writes side x side ARGB pixels, rows pitch pixels apart, as a PNG file; returns its name as the scripts give it.
inline std::u16string WritePng(const std::filesystem::path& file, std::uint32_t* pixels, int side, int pitch)
{
    std::filesystem::create_directories(file.parent_path());
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(pixels, side, side, 32, pitch * 4, SDL_PIXELFORMAT_ARGB8888);
    IMG_SavePNG(surface, file.string().c_str());
    SDL_FreeSurface(surface);
    const std::string name = file.string();
    return std::u16string(name.begin(), name.end());
}

} // namespace Vel::BenchTools
