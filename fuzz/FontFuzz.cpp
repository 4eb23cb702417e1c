// The TrueType reader: a face file as a style names it, opened by FreeType and HarfBuzz, a text in several scripts
// shaped with it and its glyphs rasterised into the face's atlas.
#include "FuzzTools.h"
#include "HeadlessPlatform.h"
#include "resources/FontFace.h"
#include "resources/FontLibrary.h"
#include "resources/TextShaper.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    Vel::Fuzz::HeadlessHge();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = Vel::Fuzz::WriteScratch("fuzz.ttf", data, size);
    // A library of its own each time: it keeps faces by their path.
    Vel::FontLibrary library;
    Vel::FontFace* face = library.GetFace(path);
    if (face == nullptr)
        return 0;
    constexpr int kSize = 16;
    Vel::ShapedText shaped;
    library.GetShaper().Shape(u"Cafe\u0301 漢字。 مرحبا 10 नमस्ते\nAV", {face}, kSize, shaped);
    for (const Vel::ShapedGlyph& glyph : shaped.glyphs)
        (void)face->GetAtlasGlyph(glyph.index, kSize);
    (void)face->GetMetrics(kSize);
    return 0;
}
