#pragma once

// Shared by the dialogue tests: the headless screen read back, a continue picture that draws a solid square and
// records its drawing, a folder holding the test font, and actions and animators that count their runs.
//
// The font (data/fonts/letters.fnt over letters.bmp): A is a red 10 x 16 letter, B green 10 x 16 with a pre shift of
// 1 and a post shift of 2 (13 pixels of advance), the blank 6 x 16 black, C yellow 6 x 12, and every other byte
// draws the blue 8 x 16 "?". The font's line height is 16.

#include "TempFolder.h"

#include "platform/Hge.h"
#include "resources/Resource.h"
#include "scene/Action.h"
#include "scene/Animator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

namespace Vel::TestTools {

// The screen as the player's snapshot saves it (an uncompressed BMP), read back pixel by pixel.
class Screen
{
public:
    Screen(HGE* hge, const TempFolder& folder)
    {
        const std::string file = folder.File("screen.bmp");
        EXPECT_TRUE(hge->System_Snapshot(file.c_str()));
        m_bytes = folder.Read("screen.bmp");
        if (m_bytes.size() < 54 || m_bytes.compare(0, 2, "BM") != 0) {
            ADD_FAILURE() << "the snapshot is not a BMP file";
            return;
        }
        m_offset = Read<std::uint32_t>(10);
        m_width = Read<std::int32_t>(18);
        const std::int32_t height = Read<std::int32_t>(22);
        m_bottomUp = height > 0;
        m_height = height > 0 ? height : -height;
        m_bytesPerPixel = Read<std::uint16_t>(28) / 8;
        EXPECT_TRUE(m_bytesPerPixel == 3 || m_bytesPerPixel == 4);
        m_stride = (m_width * m_bytesPerPixel + 3) / 4 * 4;
        EXPECT_GE(m_bytes.size(), m_offset + static_cast<std::size_t>(m_stride) * m_height);
    }

    // 0xRRGGBB; 0xFFFFFFFF outside the screen, which no pixel equals.
    [[nodiscard]] std::uint32_t At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= m_width || y >= m_height || m_bytesPerPixel < 3)
            return 0xFFFFFFFF;
        const int row = m_bottomUp ? m_height - 1 - y : y;
        const std::size_t at = m_offset + static_cast<std::size_t>(row) * m_stride + x * m_bytesPerPixel;
        if (at + 3 > m_bytes.size())
            return 0xFFFFFFFF;
        const auto byte = [&](std::size_t i) {
            return static_cast<std::uint32_t>(static_cast<unsigned char>(m_bytes[i]));
        };
        return byte(at + 2) << 16 | byte(at + 1) << 8 | byte(at);
    }

    // {left, top, right, bottom} of the pixels of exactly this colour; all -1 when there are none.
    [[nodiscard]] std::vector<int> BoxOf(std::uint32_t colour) const
    {
        std::vector<int> box = {m_width, m_height, -1, -1};
        for (int y = 0; y < m_height; ++y) {
            for (int x = 0; x < m_width; ++x) {
                if (At(x, y) == colour)
                    box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x), y};
            }
        }
        return box[2] < 0 ? std::vector<int>{-1, -1, -1, -1} : box;
    }

private:
    template <typename T> T Read(std::size_t at) const
    {
        T value{};
        std::memcpy(&value, m_bytes.data() + at, sizeof value);
        return value;
    }

    std::string m_bytes;
    std::size_t m_offset = 0;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
    int m_bytesPerPixel = 0;
    bool m_bottomUp = true;
};

// A continue picture: a square of one colour, its opacity in the alpha of its corners.
class MarkPicture : public Resource
{
public:
    struct Drawing
    {
        float x, y, zoom, opacity;
    };

    MarkPicture(float size, std::uint32_t rgb, std::vector<std::u16string>* log = nullptr)
        : m_size(size), m_rgb(rgb), m_log(log)
    {
    }

    [[nodiscard]] ResourceType GetType() const override { return ResourceType::Sprite; }
    [[nodiscard]] float GetWidth() override { return m_size; }
    [[nodiscard]] float GetHeight() override { return m_size; }
    void Render(float x, float y, float zoom, float opacity) override
    {
        drawings.push_back({x, y, zoom, opacity});
        if (m_log != nullptr)
            m_log->push_back(GetName());
        HGE* hge = hgeCreate(HGE_VERSION);
        hgeQuad quad;
        const float corners[4][2] = {{x, y}, {x + m_size, y}, {x + m_size, y + m_size}, {x, y + m_size}};
        for (int i = 0; i < 4; ++i) {
            quad.v[i].x = corners[i][0];
            quad.v[i].y = corners[i][1];
            quad.v[i].col = static_cast<std::uint32_t>(opacity * 255.0f) << 24 | m_rgb;
        }
        hge->Gfx_RenderQuad(&quad);
        hge->Release();
    }
    void Unload() override {}

    std::vector<Drawing> drawings;

private:
    float m_size;
    std::uint32_t m_rgb;
    std::vector<std::u16string>* m_log;
};

// A temporary working folder with fonts/letters.fnt and its bitmap, where a style named "letters" finds them.
class FontFolder : public TempFolder
{
public:
    FontFolder()
    {
        std::filesystem::create_directories(Path() / "fonts");
        for (const char* file : {"letters.fnt", "letters.bmp"})
            std::filesystem::copy_file(std::filesystem::path(VEL_TEST_DATA) / "fonts" / file, Path() / "fonts" / file);
        Enter();
    }
};

class CountingAction : public Action
{
public:
    explicit CountingAction(std::vector<std::string>& log, std::string tag) : m_log(log), m_tag(std::move(tag)) {}

private:
    void Perform() override { m_log.push_back(m_tag); }

    std::vector<std::string>& m_log;
    std::string m_tag;
};

// Counts the time it was given; stays active.
class TimeAnimator : public Animator
{
public:
    explicit TimeAnimator(BaseObject& target) : Animator(target) {}
    void Update(float dt) override { time += dt; }

    float time = 0.0f;
};

} // namespace Vel::TestTools
