#pragma once

// "velloria new": a complete small game to start from. Its scripts teach in their comments and show the usual
// shape of a game: a title menu of text buttons, options, the right-click menu, the save/load screen, a quick menu
// over the story, one scene with a character and a choice leading to two endings. The pictures are drawn on the
// spot (StarterPictures); the TrueType face is DejaVu Sans, which the engine's setup installs, and the error
// screen's bitmap font is made from it. Everything is written to a folder of its own first and moved into place at
// the end, so a failure leaves nothing behind.

#include <string>

namespace Vel {

struct StarterOptions
{
    std::string folder;
    std::string title; // empty: the folder's name
    int width = 800;
    int height = 600;
};

class StarterGame
{
public:
    static constexpr int kMinWidth = 640;
    static constexpr int kMinHeight = 480;
    static constexpr int kMaxSide = 7680;

    // False with a one-line reason in error: the folder exists and is not empty, the face is not installed, or a
    // file could not be written. Nothing of the game is left behind then.
    [[nodiscard]] static bool Write(const StarterOptions& options, std::string& error);
    // A title fits in the scripts' quotes: UTF-8 text without a double quote or a control character.
    [[nodiscard]] static bool IsUsableTitle(const std::string& title);
};

} // namespace Vel
