// The bitmap font reader: a font description naming its letter picture and the letters' places in it.
#include "FuzzTools.h"
#include "HeadlessPlatform.h"
#include "platform/ImageFile.h"
#include "resources/hgeFont.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    Vel::Fuzz::HeadlessHge();
    // The picture the seeds name, so their letters are read and measured.
    const std::vector<std::uint32_t> white(32 * 32, 0xFFFFFFFF);
    std::string error;
    if (!Vel::ImageFile::SavePng((Vel::Fuzz::ScratchFolder() / "font.png").string(), 32, 32, white.data(), error))
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = Vel::Fuzz::WriteScratch("fuzz.fnt", data, size);
    Vel::hgeFont font(path);
    (void)font.GetStringWidth("Ab?\nxyz\xE9");
    font.printfb(0.0F, 0.0F, 40.0F, 40.0F, 0, "%s", "A few words to wrap and draw");
    return 0;
}
