#include "resources/FontGenerator.h"

#include "core/TextCodec.h"
#include "platform/ImageFile.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

namespace Vel {
namespace {

namespace fs = std::filesystem;

// Beyond this a letter sheet would run to hundreds of megabytes.
constexpr int kMaxPixelSize = 512;
constexpr int kMaxSheetSide = 8192;
constexpr int kMinSheetSide = 64;
// Transparent pixels round every letter, so filtered sampling at a letter's edge never picks up its neighbour.
constexpr int kPadding = 1;
constexpr std::uint32_t kTransparentWhite = 0x00FFFFFF;

using Library = std::unique_ptr<std::remove_pointer_t<FT_Library>, decltype(&FT_Done_FreeType)>;
using Face = std::unique_ptr<std::remove_pointer_t<FT_Face>, decltype(&FT_Done_Face)>;

// A byte of the code page and the character it stands for.
struct CodePoint
{
    unsigned char byte = 0;
    char16_t character = 0;
};

// One rasterised letter: its coverage, its metrics in whole pixels and its cell on the sheet.
struct Letter
{
    unsigned char byte = 0;
    int width = 0, height = 0;
    int left = 0; // from the pen to the bitmap's left column
    int top = 0;  // from the baseline up to the bitmap's top row
    int advance = 0;
    std::vector<std::uint8_t> coverage; // width x height, row after row
    int x = 0, y = 0;                   // the cell's top-left corner on the sheet
};

// Every cell is as tall as the tallest letter reaches, with the baseline at the same depth, so the letters of a
// line stand on one baseline however the font draws them.
struct Sheet
{
    int width = 0, height = 0;
    int ascent = 0; // from a cell's top to the baseline
    int cellHeight = 0;
};

struct OutputFiles
{
    fs::path fnt;
    fs::path png;
    std::string pngName; // as the description names it: relative to the description's folder
};

bool IsPrintable(char16_t c)
{
    // U+FFFD stands for a byte the code page leaves undefined.
    return c >= 0x20 && c != 0x7F && !(c >= 0x80 && c <= 0x9F) && c != TextCodec::kReplacement;
}

// The engine's code page is switched only for the conversion and then restored.
std::optional<std::vector<CodePoint>> PrintableLetters(const std::string& codePage, std::string& error)
{
    const std::string previous = TextCodec::CodePage();
    if (!TextCodec::SetCodePage(codePage)) {
        error = "\"" + codePage + "\" is not a single-byte code page iconv knows";
        return std::nullopt;
    }
    std::string bytes;
    for (int byte = 0x20; byte <= 0xFF; ++byte)
        bytes.push_back(static_cast<char>(byte));
    const std::u16string characters = TextCodec::CodePageToWide(bytes);
    TextCodec::SetCodePage(previous);
    std::vector<CodePoint> letters;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (IsPrintable(characters[i]))
            letters.push_back({static_cast<unsigned char>(bytes[i]), characters[i]});
    }
    return letters;
}

std::optional<OutputFiles> OutputPaths(const std::string& fntPath, std::string& error)
{
    const fs::path fnt(fntPath);
    if (fnt.filename().empty() || fnt.filename() == "." || fnt.filename() == "..") {
        error = "\"" + fntPath + "\" names no file to write";
        return std::nullopt;
    }
    // The description names its picture as one word.
    std::string pngName = fs::path(fnt.filename()).replace_extension(".png").string();
    std::replace_if(
        pngName.begin(), pngName.end(), [](char c) { return c == ' ' || c == '\t'; }, '_');
    if (pngName == fnt.filename().string()) {
        error = "\"" + fntPath + "\" would be overwritten by its own picture; name it *.fnt";
        return std::nullopt;
    }
    return OutputFiles{fnt, fnt.parent_path() / pngName, pngName};
}

std::optional<Face> OpenFace(FT_Library library, const std::string& ttf, int pixelSize, std::string& error)
{
    std::error_code code;
    if (!fs::is_regular_file(ttf, code)) {
        error = "the font " + ttf + " does not exist";
        return std::nullopt;
    }
    FT_Face raw = nullptr;
    const FT_Error opened = FT_New_Face(library, ttf.c_str(), 0, &raw);
    if (opened != 0) {
        error = opened == FT_Err_Cannot_Open_Resource ? "cannot read the font " + ttf
                                                      : ttf + " is not a font FreeType can read";
        return std::nullopt;
    }
    Face face(raw, &FT_Done_Face);
    if (FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE) != 0) {
        error = ttf + " has no Unicode character map";
        return std::nullopt;
    }
    if (FT_Set_Pixel_Sizes(face.get(), 0, static_cast<FT_UInt>(pixelSize)) != 0) {
        error = ttf + " cannot be drawn at " + std::to_string(pixelSize) + " pixels";
        return std::nullopt;
    }
    return face;
}

// Outline glyphs render as 8-bit grey; a face may also hold 1-bit bitmap strikes, which FreeType hands over instead.
std::uint8_t Coverage(const FT_Bitmap& bitmap, unsigned row, unsigned column)
{
    const unsigned char* line = bitmap.buffer + static_cast<long>(row) * bitmap.pitch;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
        return (line[column / 8] & (0x80u >> (column % 8))) != 0 ? 0xFF : 0;
    return line[column];
}

// False when the face has no glyph for the character or FreeType cannot render it as coverage.
bool Rasterise(FT_Face face, const CodePoint& code, Letter& letter)
{
    const FT_UInt index = FT_Get_Char_Index(face, code.character);
    if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0)
        return false;
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    const bool empty = bitmap.width == 0 || bitmap.rows == 0;
    if (!empty && bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && bitmap.pixel_mode != FT_PIXEL_MODE_MONO)
        return false;
    letter.byte = code.byte;
    letter.width = empty ? 0 : static_cast<int>(bitmap.width);
    letter.height = empty ? 0 : static_cast<int>(bitmap.rows);
    letter.left = empty ? 0 : slot->bitmap_left;
    letter.top = empty ? 0 : slot->bitmap_top;
    letter.advance = static_cast<int>((slot->advance.x + 32) / 64);
    letter.coverage.resize(static_cast<std::size_t>(letter.width) * static_cast<std::size_t>(letter.height));
    for (unsigned row = 0; row < static_cast<unsigned>(letter.height); ++row) {
        for (unsigned column = 0; column < static_cast<unsigned>(letter.width); ++column)
            letter.coverage[row * static_cast<unsigned>(letter.width) + column] = Coverage(bitmap, row, column);
    }
    return true;
}

// Characters the face lacks are left out, except the blank: text without one would run its words together.
std::vector<Letter> RasteriseAll(FT_Face face, const std::vector<CodePoint>& codePoints, int pixelSize)
{
    std::vector<Letter> letters;
    for (const CodePoint& code : codePoints) {
        Letter letter;
        if (Rasterise(face, code, letter)) {
            letters.push_back(std::move(letter));
        } else if (code.character == u' ') {
            letter = Letter();
            letter.byte = code.byte;
            letter.advance = std::max(1, pixelSize / 4);
            letters.push_back(std::move(letter));
        }
    }
    return letters;
}

// The cells reach from the face's ascender to its descender, and further for any letter that goes beyond them.
Sheet CellGeometry(FT_Face face, const std::vector<Letter>& letters)
{
    const FT_Size_Metrics& metrics = face->size->metrics;
    int ascent = static_cast<int>((std::max<FT_Pos>(metrics.ascender, 0) + 63) / 64);
    int descent = static_cast<int>((std::max<FT_Pos>(-metrics.descender, 0) + 63) / 64);
    for (const Letter& letter : letters) {
        if (letter.height == 0)
            continue;
        ascent = std::max(ascent, letter.top);
        descent = std::max(descent, letter.height - letter.top);
    }
    Sheet sheet;
    sheet.ascent = ascent;
    sheet.cellHeight = ascent + descent;
    return sheet;
}

// Places the cells in rows across a sheet this wide; the height used, or nothing when a letter does not fit a row.
std::optional<int> PlaceRows(std::vector<Letter>& letters, int sheetWidth, int cellHeight)
{
    int x = kPadding;
    int y = kPadding;
    for (Letter& letter : letters) {
        if (x + letter.width + kPadding > sheetWidth) {
            if (x == kPadding)
                return std::nullopt;
            x = kPadding;
            y += cellHeight + kPadding;
        }
        letter.x = x;
        letter.y = y;
        x += letter.width + kPadding;
    }
    return y + cellHeight + kPadding;
}

int PowerOfTwoAtLeast(int value)
{
    int power = 1;
    while (power < value)
        power *= 2;
    return power;
}

// The narrowest power-of-two width whose rows fit a square sheet; the height is trimmed to a power of two.
bool Pack(std::vector<Letter>& letters, Sheet& sheet, std::string& error)
{
    for (int width = kMinSheetSide; width <= kMaxSheetSide; width *= 2) {
        const std::optional<int> used = PlaceRows(letters, width, sheet.cellHeight);
        if (used && *used <= width) {
            sheet.width = width;
            sheet.height = PowerOfTwoAtLeast(*used);
            return true;
        }
    }
    error = "the letters do not fit a sheet of " + std::to_string(kMaxSheetSide) + " pixels";
    return false;
}

// White everywhere, the coverage as alpha: the font's colour alone decides the colour of the text.
std::vector<std::uint32_t> Paint(const std::vector<Letter>& letters, const Sheet& sheet)
{
    const auto width = static_cast<std::size_t>(sheet.width);
    std::vector<std::uint32_t> pixels(width * static_cast<std::size_t>(sheet.height), kTransparentWhite);
    for (const Letter& letter : letters) {
        const int top = letter.y + sheet.ascent - letter.top;
        for (int row = 0; row < letter.height; ++row) {
            std::uint32_t* line = &pixels[static_cast<std::size_t>(top + row) * width + letter.x];
            for (int column = 0; column < letter.width; ++column)
                line[column] =
                    static_cast<std::uint32_t>(letter.coverage[row * letter.width + column]) << 24 | kTransparentWhite;
        }
    }
    return pixels;
}

std::string Describe(const std::vector<Letter>& letters, const Sheet& sheet, const std::string& pngName)
{
    std::string text = "[HGEFONT]\n\nBitmap=" + pngName + "\n\n";
    for (const Letter& letter : letters) {
        // The quad starts pre pixels after the pen and the pen moves on post pixels after the quad, so
        // pre + width + post is the glyph's advance.
        const int post = letter.advance - letter.left - letter.width;
        char line[96];
        std::snprintf(line, sizeof line, "Char=%02X,%d,%d,%d,%d,%d,%d\n", letter.byte, letter.x, letter.y, letter.width,
                      sheet.cellHeight, letter.left, post);
        text += line;
    }
    return text;
}

// The folder of the font, made with its missing parents: an author names where the font goes, as in a new game.
bool MakeFolder(const fs::path& folder, std::string& error)
{
    std::error_code code;
    if (folder.empty() || fs::is_directory(folder, code) || fs::create_directories(folder, code))
        return true;
    error = "cannot make the folder " + folder.string() + ": " + code.message();
    return false;
}

bool WriteText(const fs::path& path, const std::string& text, std::string& error)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot write " + path.string() + ": " + std::strerror(errno);
        return false;
    }
    out << text;
    out.close();
    if (!out) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

} // namespace

bool FontGenerator::Generate(const std::string& ttf, int pixelSize, const std::string& codePage,
                             const std::string& fntPath, std::string& error)
{
    if (pixelSize < 1 || pixelSize > kMaxPixelSize) {
        error = "the pixel size must be 1 to " + std::to_string(kMaxPixelSize);
        return false;
    }
    const auto codePoints = PrintableLetters(codePage, error);
    const auto files = codePoints ? OutputPaths(fntPath, error) : std::nullopt;
    if (!files)
        return false;
    FT_Library rawLibrary = nullptr;
    if (FT_Init_FreeType(&rawLibrary) != 0) {
        error = "FreeType cannot start";
        return false;
    }
    const Library library(rawLibrary, &FT_Done_FreeType);
    const auto face = OpenFace(library.get(), ttf, pixelSize, error);
    if (!face)
        return false;
    std::vector<Letter> letters = RasteriseAll(face->get(), *codePoints, pixelSize);
    Sheet sheet = CellGeometry(face->get(), letters);
    if (!Pack(letters, sheet, error))
        return false;
    const std::vector<std::uint32_t> pixels = Paint(letters, sheet);
    if (!MakeFolder(files->fnt.parent_path(), error))
        return false;
    if (!ImageFile::SavePng(files->png.string(), sheet.width, sheet.height, pixels.data(), error))
        return false;
    return WriteText(files->fnt, Describe(letters, sheet, files->pngName), error);
}

} // namespace Vel
