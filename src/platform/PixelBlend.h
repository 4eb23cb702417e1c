#pragma once

// Blending a row of picture pixels (0xAARRGGBB) over a row of the screen, by the formulas of SDL's software
// blitters, so that what the engine blends itself equals what SDL draws for the same quad. SDL picks its blitter
// by whether the colour modulates at all, and the two round differently:
// - white and opaque (nothing to modulate): SDL 2.26's MMX blitter on x86-64, which divides by 256 after each
//   product and weighs the source's alpha channel fully;
// - any other colour: the generic blitter, which multiplies by the colour, premultiplies by alpha and divides
//   by 255 exactly.
// Four pixels at a time with SSE2 where the processor has it; groups of four empty pixels are skipped.

#include <cstdint>

namespace Vel::PixelBlend {

enum class Reach
{
    Exact,   // only the width's pixels may be touched
    PastEnd, // both rows go on for three pixels more, which may be read, and written back unchanged
};

void BlendRow(const std::uint32_t* from, std::uint32_t* to, int width, std::uint32_t colour, Reach reach);

} // namespace Vel::PixelBlend
