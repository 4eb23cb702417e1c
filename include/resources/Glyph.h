#pragma once

// One rasterised character of a TrueType face at one pixel size, as the face caches it.

#include "platform/Hge.h"

#include <cstdint>

namespace Vel {

struct Glyph
{
    char16_t character = 0;
    std::uint32_t index = 0;  // the glyph's number inside the face, for kerning
    std::int32_t advance = 0; // whole pixels the pen moves on, truncated toward zero
    float madeWidth = 0.0f;   // the face's pixel size when the record was made
    float madeHeight = 0.0f;
    float bitmapWidth = 0.0f;
    float bitmapHeight = 0.0f;
    float bitmapLeft = 0.0f;   // from the pen to the bitmap's left edge
    float bitmapTop = 0.0f;    // from the baseline up to the bitmap's top edge
    HTEXTURE texture = 0;      // 0 for a glyph without pixels (a space)
    float textureWidth = 0.0f; // the device's size of the texture, which may exceed the bitmap
    float textureHeight = 0.0f;
};

} // namespace Vel
