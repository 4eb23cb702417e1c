#pragma once

// For the drawing tests: the headless screen read back exactly, through the same snapshot a
// player's screenshot takes, and a small texture made in place.

#include "TempFolder.h"

#include "platform/Hge.h"

#include <SDL2/SDL.h> // the full path: not every test program has SDL's own include folder

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace Vel::TestTools {

// {left, top, right, bottom, pixel count} of one colour; all -1 and 0 when no pixel has it.
using Box = std::array<int, 5>;
constexpr Box kNoBox = {-1, -1, -1, -1, 0};

class ScreenPicture
{
public:
    explicit ScreenPicture(HGE* hge)
    {
        TempFolder folder;
        const std::string file = folder.File("screen.bmp");
        EXPECT_TRUE(hge->System_Snapshot(file.c_str()));
        SDL_Surface* loaded = SDL_LoadBMP(file.c_str());
        m_surface = loaded != nullptr ? SDL_ConvertSurfaceFormat(loaded, SDL_PIXELFORMAT_ARGB8888, 0) : nullptr;
        SDL_FreeSurface(loaded);
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

    // The pixels of exactly this 0xRRGGBB: a rectangle drawn in it covers exactly its box when the count is the
    // box's area.
    [[nodiscard]] Box BoxOf(std::uint32_t colour) const
    {
        Box box = {Width(), Height(), -1, -1, 0};
        for (int y = 0; y < Height(); ++y)
            for (int x = 0; x < Width(); ++x)
                if (At(x, y) == colour)
                    box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), y, box[4] + 1};
        return box[4] == 0 ? kNoBox : box;
    }

private:
    SDL_Surface* m_surface = nullptr;
};

// One frame on the background, drawn by draw(), read back.
template <typename Draw> ScreenPicture DrawFrame(HGE* hge, Draw&& draw, std::uint32_t background = 0xFF000000)
{
    EXPECT_TRUE(hge->Gfx_BeginScene());
    hge->Gfx_Clear(background);
    draw();
    hge->Gfx_EndScene();
    return ScreenPicture(hge);
}

// A texture of size x size in four solid quadrants: red, green (top), blue, white (bottom).
inline HTEXTURE QuadrantTexture(HGE* hge, int size)
{
    const HTEXTURE texture = hge->Texture_Create(size, size);
    std::uint32_t* pixels = hge->Texture_Lock(texture, false);
    constexpr std::uint32_t kQuadrants[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    for (int y = 0; pixels != nullptr && y < size; ++y)
        for (int x = 0; x < size; ++x)
            pixels[y * size + x] = kQuadrants[(y >= size / 2 ? 2 : 0) + (x >= size / 2 ? 1 : 0)];
    hge->Texture_Unlock(texture);
    return texture;
}

} // namespace Vel::TestTools
