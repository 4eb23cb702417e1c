#pragma once

// The author tool behind "velloria fontgen": rasterises the printable letters of a single-byte code page from a
// TrueType font into a letter sheet (a PNG) and the ".fnt" description that the bitmap font class reads, so text
// boxes can use any font an author has. The letters are white with the coverage as alpha, so the text colour tints
// them; each letter's shifts come from the glyph's bearing and advance, so text spaces as the font designer meant.

#include <string>

namespace Vel {

class FontGenerator
{
public:
    // Writes fntPath and, beside it, its sheet (the same name with ".png", blanks made '_'). pixelSize is the
    // FreeType pixel size (1 to 1024); codePage an iconv name of a single-byte code page, e.g. "CP1252". False with
    // a one-line reason in error on bad input or a failed write; the engine's current code page is left as it was.
    [[nodiscard]] static bool Generate(const std::string& ttf, int pixelSize, const std::string& codePage,
                                       const std::string& fntPath, std::string& error);
};

} // namespace Vel
