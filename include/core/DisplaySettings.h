#pragma once

// The display and the game's names: process-wide records that the system script fills before the window opens
// and that every drawing and hit-testing part reads.

#include <cstdint>
#include <string>

namespace Vel {

// A width, height or draw position equal to this is not set; a mouse coordinate equal to it means nowhere.
// Always compared by exact equality.
constexpr float kUnset = 999999.0f;

struct DisplaySettings
{
    std::int32_t gameWidth = 0;  // size of the render target and of the coordinate space of every position
    std::int32_t gameHeight = 0;
    std::int32_t fullscreen = 0; // non-zero: open full screen at the desktop size
    std::int32_t screenWidth = 0; // the window or display mode actually opened
    std::int32_t screenHeight = 0;
    bool widescreen = false; // full screen on a display with height/width below 0.75: pillar-boxed
};

struct GameNames
{
    std::u16string galleryName;
    std::u16string saveLoadName;
    std::u16string title;
    std::u16string playlistName;
    std::u16string mainMenuName;
    std::u16string rightClickMenuName;
    std::u16string optionsMenuName;
    std::u16string startSceneName;
    std::u16string gameId; // names the game's user folder; empty: the game folder's name does
};

DisplaySettings& TheDisplaySettings();
GameNames& TheGameNames();

// Width of the game picture on a pillar-boxed screen: the single-precision constant 1.3333, not 4/3, so the
// picture and the mouse mapping agree to the pixel.
constexpr float kPillarBoxAspect = 1.3333f;

// Converts a mouse position in window pixels into game coordinates, in place. Outside the pillar-boxed picture
// both coordinates become kUnset (scaled, so they stay far outside the game area).
void ScreenToGame(const DisplaySettings& display, float& x, float& y);
inline void ScreenToGame(float& x, float& y) { ScreenToGame(TheDisplaySettings(), x, y); }

// Fills screenWidth, screenHeight and widescreen for the game settings and a desktop of the given size.
void ChooseDisplayMode(DisplaySettings& display, int desktopWidth, int desktopHeight);

} // namespace Vel
