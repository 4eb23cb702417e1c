#include "HeadlessHge.h"
#include "ScreenPicture.h"

#include "resources/hgeSprite.h"

#include <gtest/gtest.h>

#include <functional>

namespace Vel {
namespace {

using TestTools::Box;
using TestTools::DrawFrame;

TEST(hgeSpriteTest, PlacementZoomStretchTintAndTextureRectanglesCoverExactRectangles)
{
    TestTools::HeadlessHge hge({}, 160, 120);
    hge->System_SetState(HGE_TEXTUREFILTER, false); // nearest texels: each quadrant lands as an exact rectangle
    ASSERT_TRUE(hge->System_Initiate());
    const HTEXTURE texture = TestTools::QuadrantTexture(hge.Get(), 32);
    const HTEXTURE large = TestTools::QuadrantTexture(hge.Get(), 64);
    struct Case
    {
        const char* what;
        std::function<void(hgeSprite&)> draw; // on a sprite of the whole 32 x 32 texture
        Box red, white;                       // the texture's top-left and bottom-right quadrants
    };
    // clang-format off
    const Case cases[] = {
        {"position", [](hgeSprite& s) { s.Render(10, 10); }, {10, 10, 25, 25, 256}, {26, 26, 41, 41, 256}},
        {"zoom, and vscale 0 is hscale", [](hgeSprite& s) { s.RenderEx(60, 10, 0.0f, 2.0f); },
         {60, 10, 91, 41, 1024}, {92, 42, 123, 73, 1024}},
        {"stretch", [](hgeSprite& s) { s.RenderStretch(70, 10, 150, 30); },
         {70, 10, 109, 19, 400}, {110, 20, 149, 29, 400}},
        {"whole texture in the old size",
         [](hgeSprite& s) { s.SetTextureRect(0, 0, 16, 16); s.SetTextureRect(0, 0, 32, 32, false); s.Render(10, 10); },
         {10, 10, 17, 17, 64}, {18, 18, 25, 25, 64}},
        {"same pixels of a larger texture",
         [large](hgeSprite& s) { s.SetTextureRect(8, 8, 24, 24); s.SetTexture(large); s.Render(10, 10); },
         {10, 10, 33, 33, 576}, TestTools::kNoBox},
        {"a red tint keeps red and white red; corner 7 does not exist",
         [](hgeSprite& s) { s.SetColor(0xFFFF0000); s.SetColor(0xFF00FF00, 7); s.Render(10, 10); },
         {10, 10, 41, 41, 512}, TestTools::kNoBox},
    };
    // clang-format on
    for (const Case& c : cases) {
        hgeSprite sprite(texture, 0, 0, 32, 32);
        const TestTools::ScreenPicture picture = DrawFrame(hge.Get(), [&] { c.draw(sprite); });
        EXPECT_EQ(picture.BoxOf(0xFF0000), c.red) << c.what;
        EXPECT_EQ(picture.BoxOf(0xFFFFFF), c.white) << c.what;
    }
}

} // namespace
} // namespace Vel
