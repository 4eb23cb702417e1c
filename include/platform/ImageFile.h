#pragma once

// Writing a picture the program made itself to a PNG file: the font generator stores its letter sheet this way.
// The pixels stay plain 32-bit ARGB values, so callers need no image library of their own.

#include <cstdint>
#include <string>

namespace Vel {

class ImageFile
{
public:
    // Largest width or height accepted, far beyond any picture the engine's textures hold.
    static constexpr int kMaxSide = 16384;

    // Writes width x height pixels, row after row, each 0xAARRGGBB, as a PNG with an alpha channel. False with the
    // reason in error when the size is out of range or the file cannot be written.
    [[nodiscard]] static bool SavePng(const std::string& path, int width, int height, const std::uint32_t* argb,
                                      std::string& error);
};

} // namespace Vel
