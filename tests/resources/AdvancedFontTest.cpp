#include "resources/AdvancedFont.h"
#include "resources/FontFace.h"
#include "resources/FontLibrary.h"
#include "resources/hgeFont.h"

#include "HeadlessHge.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace Vel {
namespace {

const std::filesystem::path kDejaVu = "/usr/share/fonts/truetype/dejavu";

// The files of the four variants, "-" for none.
std::vector<std::string> Variants(const AdvancedFont& font)
{
    std::vector<std::string> paths;
    for (FontVariant variant : {FontVariant::Regular, FontVariant::Bold, FontVariant::Italic, FontVariant::BoldItalic})
        paths.push_back(font.GetFace(variant) != nullptr ? font.GetFace(variant)->GetPath() : "-");
    return paths;
}

TEST(AdvancedFontTest, VariantsAreFoundByFileNameAndFacesAreSharedPerPath)
{
    TestTools::TempFolder folder;
    std::filesystem::create_directories(folder.Path() / "fonts");
    for (const auto& [dejaVu, name] : {std::pair{"DejaVuSerif.ttf", "serif.ttf"},
                                       {"DejaVuSerif-Bold.ttf", "serifbd.ttf"},
                                       {"DejaVuSerif-BoldItalic.ttf", "serifbi.ttf"},
                                       {"DejaVuSans.ttf", "шрифт.ttf"}})
        std::filesystem::copy_file(kDejaVu / dejaVu, folder.Path() / "fonts" / std::filesystem::u8path(name));
    std::ifstream whole(kDejaVu / "DejaVuSerif.ttf", std::ios::binary);
    folder.Write("fonts/serifi.ttf", std::string(std::istreambuf_iterator<char>(whole), {}).substr(0, 4096));
    folder.Write("fonts/serif.fnt", "[HGEFONT]\nChar=\"A\",0,0,8,8,0,0\n");
    folder.Write("fonts/bitmaponly.fnt", "[HGEFONT]\nChar=41,0,0,8,8,0,0\n");
    folder.Enter();
    TestTools::HeadlessHge hge;
    ASSERT_TRUE(hge->System_Initiate()) << "glyph textures need the display";
    FontLibrary library;
    AdvancedFont serif, unicodeName, bitmapOnly;
    serif.Load(u"serif", library);
    unicodeName.Load(u"шрифт", library);
    bitmapOnly.Load(u"bitmaponly", library);

    EXPECT_EQ(Variants(serif),
              (std::vector<std::string>{"fonts/serif.ttf", "fonts/serifbd.ttf", "-", "fonts/serifbi.ttf"}))
        << "the italic file is truncated";
    EXPECT_EQ(Variants(unicodeName), (std::vector<std::string>{"fonts/шрифт.ttf", "-", "-", "-"})) << "UTF-8 names";
    EXPECT_EQ(Variants(bitmapOnly), (std::vector<std::string>(4, "-")));
    EXPECT_EQ(library.GetFace(VEL_TEST_DATA "/not-a-font.ttf"), nullptr);
    EXPECT_EQ(library.GetFace(VEL_TEST_DATA "/bitmap-only.bdf"), nullptr) << "bitmap fonts cannot be scaled";
    // Each font reads its own bitmap font, empty when there is no .fnt file; text boxes always have one.
    for (const auto& [font, hasA] : {std::pair{&serif, true}, {&unicodeName, false}, {&bitmapOnly, true}}) {
        ASSERT_NE(font->GetBitmapFont(), nullptr);
        EXPECT_EQ(font->GetBitmapFont()->HasLetter('A'), hasA);
    }

    FontFace* regular = serif.GetFace(FontVariant::Regular);
    std::filesystem::copy_file(kDejaVu / "DejaVuSerif-Italic.ttf", "fonts/serifi.ttf",
                               std::filesystem::copy_options::overwrite_existing);
    {
        AdvancedFont second;
        second.Load(u"serif", library);
        EXPECT_EQ(second.GetFace(FontVariant::Regular), regular) << "one face per path";
        EXPECT_EQ(Variants(second)[2], "fonts/serifi.ttf") << "a failed file is not remembered as failed";
        EXPECT_NE(second.GetBitmapFont(), serif.GetBitmapFont());
    }
    // The faces belong to the library: the second font's end leaves them usable.
    regular->SetPixelSize(20, 20);
    EXPECT_GT(regular->MeasureWidth(u"AV"), 0.0f);
}

} // namespace
} // namespace Vel
