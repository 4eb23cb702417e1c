#include "app/StarterPictures.h"

#include "platform/ImageFile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <vector>

namespace Vel {
namespace {

struct Colour
{
    float r = 0.0f, g = 0.0f, b = 0.0f, a = 1.0f;
};

constexpr Colour Rgb(std::uint32_t rgb, float alpha = 1.0f)
{
    return {static_cast<float>((rgb >> 16) & 0xFF) / 255.0f, static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
            static_cast<float>(rgb & 0xFF) / 255.0f, alpha};
}

// The starter's palette: a dusk blue interface, warm light text.
constexpr Colour kPanel = Rgb(0x1c2340, 0.9f);
constexpr Colour kPlate = Rgb(0x2d3a66, 0.92f);
constexpr Colour kPlateLit = Rgb(0x4a5ea8, 0.96f);
constexpr Colour kEdge = Rgb(0xf6efe0, 0.9f);
constexpr Colour kEdgeLit = Rgb(0xf3d34a);
constexpr Colour kTrack = Rgb(0x000000, 0.35f);

// Signed distances, negative inside; a pixel's coverage is how far its centre lies inside the edge, so edges are
// smoothed over one pixel.
using Distance = std::function<float(float x, float y)>;

Distance RoundRect(float left, float top, float width, float height, float radius)
{
    return [=](float x, float y) {
        const float halfW = width / 2.0f, halfH = height / 2.0f;
        const float qx = std::abs(x - (left + halfW)) - (halfW - radius);
        const float qy = std::abs(y - (top + halfH)) - (halfH - radius);
        const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
        return outside + std::min(std::max(qx, qy), 0.0f) - radius;
    };
}

Distance Circle(float cx, float cy, float radius)
{
    return [=](float x, float y) { return std::hypot(x - cx, y - cy) - radius; };
}

// A stroke from (x0, y0) to (x1, y1) with round ends.
Distance Stroke(float x0, float y0, float x1, float y1, float thickness)
{
    return [=](float x, float y) {
        const float dx = x1 - x0, dy = y1 - y0;
        const float t = std::clamp(((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
        return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy)) - thickness / 2.0f;
    };
}

struct Point
{
    float x = 0.0f, y = 0.0f;
};

// Inside all three edges; each edge's distance is signed so that the opposite corner lies inside.
Distance Triangle(Point a, Point b, Point c)
{
    const auto edge = [](Point from, Point to, Point other, float x, float y) {
        const float dx = to.x - from.x, dy = to.y - from.y;
        const float side = dx * (y - from.y) - dy * (x - from.x);
        const float otherSide = dx * (other.y - from.y) - dy * (other.x - from.x);
        return (otherSide > 0.0f ? -side : side) / std::hypot(dx, dy);
    };
    return [=](float x, float y) { return std::max({edge(a, b, c, x, y), edge(b, c, a, x, y), edge(c, a, b, x, y)}); };
}

// A triangle pointing right (tipX beyond baseX) or left, its tip at (tipX, midY).
Distance Arrow(float baseX, float tipX, float midY, float halfHeight)
{
    return Triangle({baseX, midY - halfHeight}, {baseX, midY + halfHeight}, {tipX, midY});
}

Distance Ring(Distance shape, float thickness)
{
    return [=](float x, float y) { return std::abs(shape(x, y) + thickness / 2.0f) - thickness / 2.0f; };
}

class Canvas
{
public:
    Canvas(int width, int height)
        : m_width(width), m_height(height), m_pixels(Size(width, height), Colour{0.0f, 0.0f, 0.0f, 0.0f})
    {
    }

    void Fill(const Distance& shape, Colour colour)
    {
        Paint([&](float x, float y) {
            Colour c = colour;
            c.a *= std::clamp(0.5f - shape(x, y), 0.0f, 1.0f);
            return c;
        });
    }

    // From top to bottom, over the whole picture.
    void Gradient(Colour top, Colour bottom)
    {
        Paint([&](float, float y) {
            const float t = y / static_cast<float>(m_height);
            return Colour{top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t,
                          top.b + (bottom.b - top.b) * t, top.a + (bottom.a - top.a) * t};
        });
    }

    [[nodiscard]] bool Save(const std::filesystem::path& path, std::string& error) const
    {
        std::vector<std::uint32_t> argb(m_pixels.size());
        std::transform(m_pixels.begin(), m_pixels.end(), argb.begin(), [](const Colour& c) {
            const auto byte = [](float v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f)); };
            // Stored straight, not premultiplied, as PNG keeps it.
            const float a = c.a > 0.0f ? c.a : 1.0f;
            return byte(c.a) << 24 | byte(c.r / a) << 16 | byte(c.g / a) << 8 | byte(c.b / a);
        });
        std::error_code ignored;
        std::filesystem::create_directories(path.parent_path(), ignored);
        return ImageFile::SavePng(path.string(), m_width, m_height, argb.data(), error);
    }

private:
    static std::size_t Size(int width, int height) { return static_cast<std::size_t>(width) * static_cast<std::size_t>(height); }

    // Source over destination, kept premultiplied while drawing.
    void Paint(const std::function<Colour(float x, float y)>& source)
    {
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                const Colour s = source(static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
                Colour& d = m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) + x];
                const float keep = 1.0f - s.a;
                d = {s.r * s.a + d.r * keep, s.g * s.a + d.g * keep, s.b * s.a + d.b * keep, s.a + d.a * keep};
            }
        }
    }

    int m_width;
    int m_height;
    std::vector<Colour> m_pixels; // premultiplied; all transparent at first
};

// A button plate for a nine-slice picture of 12-pixel borders.
Canvas Plate(Colour fill, Colour edge)
{
    Canvas plate(48, 48);
    plate.Fill(RoundRect(1, 1, 46, 46, 10), fill);
    plate.Fill(Ring(RoundRect(1, 1, 46, 46, 10), 2), edge);
    return plate;
}

// A standing figure: head and shoulders over a long coat; the "talk" picture opens its mouth.
Canvas Figure(bool talking)
{
    Canvas figure(240, 400);
    const Colour coat = Rgb(0x6b4f8f), skin = Rgb(0xf0c9a0), hair = Rgb(0x3a2a22);
    figure.Fill(RoundRect(40, 150, 160, 250, 60), coat);
    figure.Fill(Circle(120, 90, 62), hair);
    figure.Fill(Circle(120, 100, 54), skin);
    figure.Fill(Circle(100, 96, 5), Rgb(0x2a2a2a));
    figure.Fill(Circle(140, 96, 5), Rgb(0x2a2a2a));
    if (talking)
        figure.Fill(RoundRect(110, 120, 20, 14, 7), Rgb(0x8a3a3a));
    else
        figure.Fill(Stroke(108, 126, 132, 126, 4), Rgb(0x8a3a3a));
    return figure;
}

Canvas Scenery(int width, int height, Colour sky, Colour horizon, Colour ground)
{
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    Canvas scenery(width, height);
    scenery.Gradient(sky, horizon);
    scenery.Fill(Circle(w * 0.25f, h * 1.25f, h * 0.75f), ground);
    scenery.Fill(Circle(w * 0.8f, h * 1.35f, h * 0.8f), Colour{ground.r * 0.85f, ground.g * 0.85f, ground.b * 0.85f, 1.0f});
    return scenery;
}

struct Picture
{
    const char* file;
    std::function<Canvas()> draw;
};

} // namespace

bool StarterPictures::Write(const std::string& folder, int width, int height, std::string& error)
{
    const float w = static_cast<float>(width), h = static_cast<float>(height);
    // The save screen's thumbnails: three columns in the board of the width less 80 pixels, at the game's shape.
    const int thumbWidth = (width - 80) / 3 - 64;
    const int thumbHeight = thumbWidth * height / width;
    const auto frame = [&](Colour edge, float thickness) {
        Canvas c(thumbWidth + 8, thumbHeight + 12);
        c.Fill(Ring(RoundRect(1, 1, static_cast<float>(thumbWidth + 6), static_cast<float>(thumbHeight + 10), 4), thickness), edge);
        return c;
    };
    const auto arrow = [](bool next, Colour colour) {
        Canvas c(64, 48);
        c.Fill(RoundRect(1, 1, 62, 46, 10), kPlate);
        c.Fill(next ? Arrow(22, 44, 24, 12) : Arrow(42, 20, 24, 12), colour);
        return c;
    };
    const auto close = [](Colour colour) {
        Canvas c(48, 48);
        c.Fill(Circle(24, 24, 22), kPlate);
        c.Fill(Stroke(16, 16, 32, 32, 4), colour);
        c.Fill(Stroke(32, 16, 16, 32, 4), colour);
        return c;
    };
    const std::vector<Picture> pictures = {
        {"pics/title.png", [&] { return Scenery(width, height, Rgb(0x141a33), Rgb(0x5a4a7a), Rgb(0x1d2a2a)); }},
        {"pics/bg_day.png", [&] { return Scenery(width, height, Rgb(0x6fa8dc), Rgb(0xcfe6f5), Rgb(0x5f9a4a)); }},
        {"pics/bg_river.png", [&] { return Scenery(width, height, Rgb(0x8fc3e8), Rgb(0xe2f0f8), Rgb(0x3f7fb0)); }},
        {"pics/bg_hill.png", [&] { return Scenery(width, height, Rgb(0x2a2050), Rgb(0xe89a5a), Rgb(0x4a5a2a)); }},
        {"pics/guide.png", [] { return Figure(false); }},
        {"pics/guide_talk.png", [] { return Figure(true); }},
        {"menus/panel.png", [&] {
             Canvas c(width - 40, 150);
             c.Fill(RoundRect(0, 0, w - 40, 150, 14), kPanel);
             return c;
         }},
        {"menus/more.png", [] {
             Canvas c(16, 16);
             c.Fill(Arrow(2, 14, 8, 6), kEdgeLit);
             return c;
         }},
        {"menus/dim.png", [&] {
             Canvas c(width, height);
             c.Fill([](float, float) { return -1.0f; }, Rgb(0x0a0d1a, 0.72f));
             return c;
         }},
        {"menus/button.png", [] { return Plate(kPlate, kEdge); }},
        {"menus/button_lit.png", [] { return Plate(kPlateLit, kEdgeLit); }},
        {"menus/slider_box.png", [] {
             Canvas c(24, 24);
             c.Fill(RoundRect(1, 1, 22, 22, 5), kEdgeLit);
             return c;
         }},
        {"menus/slider_bg.png", [] {
             Canvas c(11 * 28, 26);
             c.Fill(RoundRect(0, 0, 11 * 28, 26, 8), kTrack);
             return c;
         }},
        {"menus/saves_bg.png", [&] {
             Canvas c(width, height);
             c.Gradient(Rgb(0x141a33), Rgb(0x2d2a4a));
             c.Fill(RoundRect(20, 70, w - 40, h - 150, 16), kTrack);
             return c;
         }},
        {"menus/frame.png", [&] { return frame(kEdge, 3); }},
        {"menus/frame_lit.png", [&] { return frame(kEdgeLit, 5); }},
        {"menus/prev.png", [&] { return arrow(false, kEdge); }},
        {"menus/prev_lit.png", [&] { return arrow(false, kEdgeLit); }},
        {"menus/next.png", [&] { return arrow(true, kEdge); }},
        {"menus/next_lit.png", [&] { return arrow(true, kEdgeLit); }},
        {"menus/close.png", [&] { return close(kEdge); }},
        {"menus/close_lit.png", [&] { return close(kEdgeLit); }},
        {"menus/saved.png", [] {
             Canvas c(64, 64);
             c.Fill(Circle(32, 32, 30), kPlate);
             c.Fill(Stroke(18, 33, 28, 44, 6), kEdgeLit);
             c.Fill(Stroke(28, 44, 47, 21, 6), kEdgeLit);
             return c;
         }},
    };
    for (const Picture& picture : pictures) {
        const std::filesystem::path path = std::filesystem::path(folder) / picture.file;
        if (!picture.draw().Save(path, error)) {
            error = path.string() + ": " + error;
            return false;
        }
    }
    return true;
}

} // namespace Vel
