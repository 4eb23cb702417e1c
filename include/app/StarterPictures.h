#pragma once

// The pictures of the starter game that "velloria new" writes: drawn here from rounded rectangles, circles,
// triangles and strokes with smooth edges, so a new game needs no image editor and no file of ours to copy. They
// are plain on purpose: an author replaces them one by one, and each keeps the size its script expects.

#include <string>

namespace Vel {

class StarterPictures
{
public:
    // Writes every picture the starter's scripts name under folder (pics/, menus/), sized for a width x height
    // game. False with the file and the reason in error when one cannot be written.
    [[nodiscard]] static bool Write(const std::string& folder, int width, int height, std::string& error);
};

} // namespace Vel
