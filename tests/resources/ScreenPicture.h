#pragma once

// For the drawing tests of the resources: the headless screen read back exactly, through the same snapshot a
// player's screenshot takes, and small textures made in place.

#include "TempFolder.h"

#include "platform/Hge.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace Vel::TestTools {

class ScreenPicture
{
public:
    explicit ScreenPicture(HGE* hge)
    {
        TempFolder folder;
        const std::string file = folder.File("screen.bmp");
        EXPECT_TRUE(hge->System_Snapshot(file.c_str()));
        if (SDL_Surface* loaded = SDL_LoadBMP(file.c_str())) {
            m_surface = SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0);
            SDL_FreeSurface(loaded);
        }
        EXPECT_NE(m_surface, nullptr) << SDL_GetError();
    }
    ~ScreenPicture() { SDL_FreeSurface(m_surface); }
    ScreenPicture(const ScreenPicture&) = delete;
    ScreenPicture& operator=(const ScreenPicture&) = delete;

    [[nodiscard]] int Width() const { return m_surface == nullptr ? 0 : m_surface->w; }
    [[nodiscard]] int Height() const { return m_surface == nullptr ? 0 : m_surface->h; }
    // 0xRRGGBB; 0xFFFFFFFF outside the picture, which no pixel equals.
    [[nodiscard]] std::uint32_t At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= Width() || y >= Height())
            return 0xFFFFFFFF;
        const auto* row = static_cast<const std::uint8_t*>(m_surface->pixels) + y * m_surface->pitch;
        return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
    }

    // Each channel within tolerance of 0xRRGGBB, for blending's rounding.
    [[nodiscard]] ::testing::AssertionResult Is(int x, int y, std::uint32_t expected, int tolerance = 2) const
    {
        const std::uint32_t actual = At(x, y);
        for (int shift : {0, 8, 16}) {
            const int got = static_cast<int>((actual >> shift) & 0xFF);
            const int want = static_cast<int>((expected >> shift) & 0xFF);
            if (actual == 0xFFFFFFFF || std::abs(got - want) > tolerance)
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << std::hex << actual << ", expected " << expected;
        }
        return ::testing::AssertionSuccess();
    }

private:
    SDL_Surface* m_surface = nullptr;
};

// A texture of size x size in four solid quadrants: red, green (top), blue, white (bottom).
inline HTEXTURE QuadrantTexture(HGE* hge, int size)
{
    const HTEXTURE texture = hge->Texture_Create(size, size);
    std::uint32_t* pixels = hge->Texture_Lock(texture, false);
    for (int y = 0; pixels != nullptr && y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const bool right = x >= size / 2;
            const bool bottom = y >= size / 2;
            pixels[y * size + x] = bottom ? (right ? 0xFFFFFFFF : 0xFF0000FF) : (right ? 0xFF00FF00 : 0xFFFF0000);
        }
    }
    hge->Texture_Unlock(texture);
    return texture;
}

inline HTEXTURE SolidTexture(HGE* hge, int width, int height, std::uint32_t argb)
{
    const HTEXTURE texture = hge->Texture_Create(width, height);
    std::uint32_t* pixels = hge->Texture_Lock(texture, false);
    for (int i = 0; pixels != nullptr && i < width * height; ++i)
        pixels[i] = argb;
    hge->Texture_Unlock(texture);
    return texture;
}

} // namespace Vel::TestTools
