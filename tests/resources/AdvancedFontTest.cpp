#include "resources/AdvancedFont.h"
#include "resources/FontFace.h"
#include "resources/FontLibrary.h"
#include "resources/hgeFont.h"

#include "HeadlessHge.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace Vel {
namespace {

using TestTools::HeadlessHge;
using TestTools::TempFolder;

const std::filesystem::path kDejaVuFolder = "/usr/share/fonts/truetype/dejavu";

// A game folder whose fonts/ holds the given DejaVu files under new names.
void AddFont(const TempFolder& folder, const std::string& dejaVuFile, const std::string& name)
{
    std::filesystem::create_directories(folder.Path() / "fonts");
    std::filesystem::copy_file(kDejaVuFolder / dejaVuFile, folder.Path() / "fonts" / std::filesystem::u8path(name));
}

TEST(AdvancedFontTest, VariantsAreFoundByNameAndSharedBetweenFonts)
{
    TempFolder folder;
    AddFont(folder, "DejaVuSerif.ttf", "serif.ttf");
    AddFont(folder, "DejaVuSerif-Bold.ttf", "serifbd.ttf");
    AddFont(folder, "DejaVuSerif-BoldItalic.ttf", "serifbi.ttf");
    folder.Write("fonts/serif.fnt", "[HGEFONT]\nChar=\"A\",0,0,8,8,0,0\n");
    folder.Enter();
    HeadlessHge hge;
    ASSERT_TRUE(hge->System_Initiate()) << "glyph textures need the display";
    FontLibrary library;

    AdvancedFont font;
    font.Load(u"serif", library);
    FontFace* regular = font.GetFace(FontVariant::Regular);
    ASSERT_NE(regular, nullptr);
    EXPECT_EQ(regular->GetPath(), "fonts/serif.ttf");
    ASSERT_NE(font.GetFace(FontVariant::Bold), nullptr);
    EXPECT_EQ(font.GetFace(FontVariant::Bold)->GetPath(), "fonts/serifbd.ttf");
    EXPECT_EQ(font.GetFace(FontVariant::Italic), nullptr) << "no serifi.ttf";
    ASSERT_NE(font.GetFace(FontVariant::BoldItalic), nullptr);
    EXPECT_EQ(font.GetFace(FontVariant::BoldItalic)->GetPath(), "fonts/serifbi.ttf");
    ASSERT_NE(font.GetBitmapFont(), nullptr);
    EXPECT_TRUE(font.GetBitmapFont()->HasLetter('A'));

    {
        AdvancedFont second;
        second.Load(u"serif", library);
        EXPECT_EQ(second.GetFace(FontVariant::Regular), regular);
        EXPECT_NE(second.GetBitmapFont(), font.GetBitmapFont()) << "each font reads its own bitmap font";
    }
    // The faces belong to the library: the second font's end leaves them usable.
    regular->SetPixelSize(20, 20);
    EXPECT_GT(regular->MeasureWidth(u"AV"), 0.0f);
}

TEST(AdvancedFontTest, MissingFilesLeaveTheirPartEmpty)
{
    TempFolder folder;
    AddFont(folder, "DejaVuSans.ttf", "шрифт.ttf");
    folder.Write("fonts/bitmaponly.fnt", "[HGEFONT]\nChar=41,0,0,8,8,0,0\n");
    folder.Enter();
    HeadlessHge hge;
    FontLibrary library;

    AdvancedFont unicodeName;
    unicodeName.Load(u"шрифт", library);
    EXPECT_NE(unicodeName.GetFace(FontVariant::Regular), nullptr) << "file names are UTF-8";
    ASSERT_NE(unicodeName.GetBitmapFont(), nullptr);
    EXPECT_FALSE(unicodeName.GetBitmapFont()->HasLetter('A')) << "no .fnt file";

    AdvancedFont bitmapOnly;
    bitmapOnly.Load(u"bitmaponly", library);
    for (FontVariant variant : {FontVariant::Regular, FontVariant::Bold, FontVariant::Italic, FontVariant::BoldItalic})
        EXPECT_EQ(bitmapOnly.GetFace(variant), nullptr);
    ASSERT_NE(bitmapOnly.GetBitmapFont(), nullptr);
    EXPECT_TRUE(bitmapOnly.GetBitmapFont()->HasLetter('A')) << "text boxes still have their font";
}

} // namespace
} // namespace Vel
