#include "platform/ImageFile.h"

#include <SDL.h>
#include <SDL_image.h>

namespace Vel {

bool ImageFile::SavePng(const std::string& path, int width, int height, const std::uint32_t* argb, std::string& error)
{
    if (argb == nullptr || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) {
        error = "cannot write " + path + ": a picture of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels is out of range";
        return false;
    }
    // The surface only borrows the pixels and IMG_SavePNG only reads them, so the cast never leads to a write.
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<std::uint32_t*>(argb), width, height, 32,
                                                              width * 4, SDL_PIXELFORMAT_ARGB8888);
    if (surface == nullptr) {
        error = std::string("cannot write ") + path + ": " + SDL_GetError();
        return false;
    }
    const bool saved = IMG_SavePNG(surface, path.c_str()) == 0;
    if (!saved)
        error = std::string("cannot write ") + path + ": " + SDL_GetError();
    SDL_FreeSurface(surface);
    return saved;
}

} // namespace Vel
