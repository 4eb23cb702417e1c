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
    std::int32_t windowWidth = 0; // the window's size when not full screen; 0: the game's size
    std::int32_t windowHeight = 0;
};

// Where the game's picture lies on the screen, in whole screen pixels: scaled to fit and centred, with bars on the
// two sides it does not reach.
struct PictureRect
{
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
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

// The game's picture on the screen; the whole screen when both are of one size.
[[nodiscard]] PictureRect PictureOnScreen(const DisplaySettings& display);

// Converts a mouse position in window pixels into game coordinates, in place. Over the bars both coordinates
// become kUnset (scaled, so they stay far outside the game area).
void ScreenToGame(const DisplaySettings& display, float& x, float& y);
inline void ScreenToGame(float& x, float& y) { ScreenToGame(TheDisplaySettings(), x, y); }

// Fills screenWidth and screenHeight for the game settings and a desktop of the given size: the desktop's size in
// full screen, otherwise the window's.
void ChooseDisplayMode(DisplaySettings& display, int desktopWidth, int desktopHeight);

} // namespace Vel
