#pragma once

// Shared by the dialogue tests: a continue picture that draws a solid square and records its drawing, a folder holding
// the test font, and an animator that counts its time.
//
// The font (data/fonts/letters.fnt over letters.bmp): A is a red 10 x 16 letter, B green 10 x 16 with a pre shift of
// 1 and a post shift of 2 (13 pixels of advance), the blank 6 x 16 black, C yellow 6 x 12, and every other byte
// draws the blue 8 x 16 "?". The font's line height is 16.

#include "TempFolder.h"

#include "platform/Hge.h"
#include "resources/Resource.h"
#include "scene/Animator.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace Vel::TestTools {

// A continue picture: a square of one colour, its opacity in the alpha of its corners. It notes each drawing's
// opacity, and its name in the log when it has one.
class MarkPicture : public Resource
{
public:
    MarkPicture(float size, std::uint32_t rgb, std::vector<std::u16string>* log = nullptr)
        : m_size(size), m_rgb(rgb), m_log(log)
    {
    }

    [[nodiscard]] ResourceType GetType() const override { return ResourceType::Sprite; }
    [[nodiscard]] float GetWidth() override { return m_size; }
    [[nodiscard]] float GetHeight() override { return m_size; }
    void Render(float x, float y, float, float opacity) override
    {
        opacities.push_back(opacity);
        if (m_log != nullptr)
            m_log->push_back(GetName());
        hgeQuad quad;
        const float corners[4][2] = {{x, y}, {x + m_size, y}, {x + m_size, y + m_size}, {x, y + m_size}};
        for (int i = 0; i < 4; ++i)
            quad.v[i] = {corners[i][0], corners[i][1], 0.5f,
                         static_cast<std::uint32_t>(opacity * 255.0f) << 24 | m_rgb};
        HGE* hge = hgeCreate(HGE_VERSION);
        hge->Gfx_RenderQuad(&quad);
        hge->Release();
    }
    void Unload() override {}

    std::vector<float> opacities;

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

// Counts the time it was given; stays active.
class TimeAnimator : public Animator
{
public:
    explicit TimeAnimator(BaseObject& target) : Animator(target) {}
    void Update(float dt) override { time += dt; }

    float time = 0.0f;
};

} // namespace Vel::TestTools
