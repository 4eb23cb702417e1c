#include "PixelBlend.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace Vel::PixelBlend {
namespace {

void BlendPlain(std::uint32_t source, std::uint32_t& dst)
{
    const std::uint32_t alpha = source >> 24;
    if (alpha == 0)
        return;
    if (alpha == 255) {
        dst = source;
        return;
    }
    const std::uint32_t d = dst;
    const std::uint32_t keep = 255 - alpha;
    // Red and blue side by side in one multiplication: no lane's product reaches the next.
    const std::uint32_t redBlue =
        ((source & 0xFF00FF) * alpha >> 8 & 0xFF00FF) + ((d & 0xFF00FF) * keep >> 8 & 0xFF00FF);
    const std::uint32_t green = ((source >> 8 & 0xFF) * alpha >> 8) + ((d >> 8 & 0xFF) * keep >> 8);
    const std::uint32_t dstAlpha = ((source >> 24) * 255 >> 8) + ((d >> 24) * keep >> 8);
    dst = dstAlpha << 24 | redBlue | green << 8;
}

// Exact for every product of two bytes, which is all the formula divides.
void BlendModulated(std::uint32_t source, std::uint32_t& dst, const unsigned (&colour)[4])
{
    const unsigned a = (source >> 24) * colour[3] / 255;
    if (a == 0)
        return; // the formula would give dst back
    unsigned rgb[3];
    const std::uint32_t d = dst;
    std::uint32_t out = 0;
    for (int channel = 0; channel < 3; ++channel) {
        const int shift = 8 * channel;
        rgb[channel] = (source >> shift & 0xFF) * colour[channel] / 255 * a / 255;
        out |= (rgb[channel] + (255 - a) * (d >> shift & 0xFF) / 255) << shift;
    }
    dst = out | (a + (255 - a) * (d >> 24) / 255) << 24;
}

void BlendScalar(const std::uint32_t* from, std::uint32_t* to, int width, std::uint32_t colour)
{
    if (colour == 0xFFFFFFFF) {
        for (int i = 0; i < width; ++i)
            BlendPlain(from[i], to[i]);
        return;
    }
    const unsigned channels[4] = {colour & 0xFF, colour >> 8 & 0xFF, colour >> 16 & 0xFF, colour >> 24};
    for (int i = 0; i < width; ++i)
        BlendModulated(from[i], to[i], channels);
}

#if defined(__SSE2__)

// Inlined by force: a call per group of four costs as much as the group's blending.

// x / 255 for every x up to 255 * 255, in each 16-bit lane.
[[gnu::always_inline]] inline __m128i DivideBy255(__m128i x)
{
    return _mm_srli_epi16(_mm_mulhi_epu16(x, _mm_set1_epi16(static_cast<short>(0x8081))), 7);
}

// Each pixel's alpha (lane 3 of four) in all four of its lanes.
[[gnu::always_inline]] inline __m128i SpreadAlpha(__m128i pixels)
{
    return _mm_shufflehi_epi16(_mm_shufflelo_epi16(pixels, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
}

// The colour lanes take the alpha, the alpha lane takes 255.
[[gnu::always_inline]] inline __m128i AlphaWeights(__m128i alpha)
{
    const __m128i colourLanes = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1);
    const __m128i alphaLane = _mm_set_epi16(255, 0, 0, 0, 255, 0, 0, 0);
    return _mm_or_si128(_mm_and_si128(alpha, colourLanes), alphaLane);
}

// Two pixels in 16-bit lanes; see BlendPlain.
[[gnu::always_inline]] inline __m128i BlendTwoPlain(__m128i source, __m128i dst)
{
    const __m128i alpha = SpreadAlpha(source);
    const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
    return _mm_add_epi16(_mm_srli_epi16(_mm_mullo_epi16(source, AlphaWeights(alpha)), 8),
                         _mm_srli_epi16(_mm_mullo_epi16(dst, keep), 8));
}

// Two pixels in 16-bit lanes; see BlendModulated.
[[gnu::always_inline]] inline __m128i BlendTwoModulated(__m128i source, __m128i dst, __m128i colour)
{
    const __m128i tinted = DivideBy255(_mm_mullo_epi16(source, colour));
    const __m128i alpha = SpreadAlpha(tinted);
    const __m128i keep = _mm_sub_epi16(_mm_set1_epi16(255), alpha);
    return _mm_add_epi16(DivideBy255(_mm_mullo_epi16(tinted, AlphaWeights(alpha))),
                         DivideBy255(_mm_mullo_epi16(dst, keep)));
}

// Four pixels; an empty one is left as it is.
template <bool Plain> [[gnu::always_inline]] inline __m128i BlendFour(__m128i source, __m128i dst, __m128i colour)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i low = _mm_unpacklo_epi8(source, zero);
    const __m128i high = _mm_unpackhi_epi8(source, zero);
    const __m128i dstLow = _mm_unpacklo_epi8(dst, zero);
    const __m128i dstHigh = _mm_unpackhi_epi8(dst, zero);
    if constexpr (!Plain)
        return _mm_packus_epi16(BlendTwoModulated(low, dstLow, colour), BlendTwoModulated(high, dstHigh, colour));
    // The unmodulated blitter copies an opaque pixel and leaves an empty one alone.
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000));
    const __m128i alpha = _mm_and_si128(source, alphaMask);
    const __m128i empty = _mm_cmpeq_epi32(alpha, zero);
    const __m128i opaque = _mm_cmpeq_epi32(alpha, alphaMask);
    __m128i blended = _mm_packus_epi16(BlendTwoPlain(low, dstLow), BlendTwoPlain(high, dstHigh));
    blended = _mm_or_si128(_mm_and_si128(opaque, source), _mm_andnot_si128(opaque, blended));
    return _mm_or_si128(_mm_and_si128(empty, dst), _mm_andnot_si128(empty, blended));
}

// Groups of four, skipping empty ones. The last pixels, fewer than four, go as a group too where the rows reach
// that far, their missing pixels taken as empty: a narrow glyph's rows then cost no pixel-by-pixel work.
template <bool Plain>
void BlendGroups(const std::uint32_t* from, std::uint32_t* to, int width, std::uint32_t colour, Reach reach)
{
    const __m128i colourLanes = _mm_unpacklo_epi8(_mm_set1_epi32(static_cast<int>(colour)), _mm_setzero_si128());
    const __m128i alphaMask = _mm_set1_epi32(static_cast<int>(0xFF000000));
    int i = 0;
    for (; i + 4 <= width; i += 4) {
        const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(source, alphaMask), _mm_setzero_si128())) == 0xFFFF)
            continue;
        auto* at = reinterpret_cast<__m128i*>(to + i);
        _mm_storeu_si128(at, BlendFour<Plain>(source, _mm_loadu_si128(at), colourLanes));
    }
    const int rest = width - i;
    if (rest == 0)
        return;
    if (reach == Reach::Exact) {
        BlendScalar(from + i, to + i, rest, colour);
        return;
    }
    // The first `rest` lanes kept: the others are empty and leave the target's pixels as they are.
    alignas(16) static constexpr std::int32_t kKept[7] = {-1, -1, -1, 0, 0, 0, 0};
    const __m128i kept = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kKept + 3 - rest));
    const __m128i source = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(from + i)), kept);
    auto* at = reinterpret_cast<__m128i*>(to + i);
    _mm_storeu_si128(at, BlendFour<Plain>(source, _mm_loadu_si128(at), colourLanes));
}

} // namespace

void BlendRow(const std::uint32_t* from, std::uint32_t* to, int width, std::uint32_t colour, Reach reach)
{
    if (colour == 0xFFFFFFFF)
        BlendGroups<true>(from, to, width, colour, reach);
    else
        BlendGroups<false>(from, to, width, colour, reach);
}

#else

} // namespace

void BlendRow(const std::uint32_t* from, std::uint32_t* to, int width, std::uint32_t colour, Reach /*reach*/)
{
    BlendScalar(from, to, width, colour);
}

#endif

} // namespace Vel::PixelBlend
