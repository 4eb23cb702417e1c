#include "ReplayLoop.h"
#include "menus/TextSlider.h"
#include "menus/VisualSlider.h"

#include "HeadlessHge.h"
#include "ProcessRecordGuard.h"
#include "TempFolder.h"

#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "resources/AdvancedFont.h"
#include "resources/FontFace.h"
#include "resources/FontLibrary.h"
#include "resources/Resource.h"
#include "resources/Style.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace Vel {
namespace {

const std::filesystem::path kDejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

struct Volume
{
    void Set(float to) { sets.push_back(value = to); }
    float Get() { return value; }
    Slider::Setter Setter() { return Slider::Setter(this, &Volume::Set); }
    Slider::Getter Getter() { return Slider::Getter(this, &Volume::Get); }

    float value = 0.0f;
    std::vector<float> sets;
};

// A replay kept in the data folder.
std::string DataFile(const std::string& name)
{
    std::ifstream in(std::string(VEL_TEST_DATA) + "/" + name);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A box or background picture that records where and how it was drawn.
class RecordingPicture : public Resource
{
public:
    struct Drawing
    {
        float x, y, opacity;
    };

    RecordingPicture(float width, float height) : m_width(width), m_height(height) {}

    [[nodiscard]] ResourceType GetType() const override { return ResourceType::Sprite; }
    [[nodiscard]] float GetWidth() override { return m_width; }
    [[nodiscard]] float GetHeight() override { return m_height; }
    void Render(float x, float y, float, float opacity) override { drawings.push_back({x, y, opacity}); }
    void Unload() override {}

    std::vector<Drawing> drawings;

private:
    float m_width;
    float m_height;
};

// A headless window of 640 x 480 showing a game of the same size, so mouse pixels are game pixels; replayed
// input; and two styles over copies of one TrueType file ("plain" 20 pixels, "bright" 30).
// Sliders are made after it and destroyed before it.
class Stage
{
public:
    Stage(const std::string& replay, int frames)
        : m_hge(Options(replay, frames), 640, 480), m_manager(m_folder.File("engine.log"))
    {
        TheDisplaySettings() = DisplaySettings{640, 480, 0, 640, 480, false};
        EXPECT_TRUE(m_hge->System_Initiate()) << "glyph textures need the display";
        plain.Set({.font = u"plain", .size = 20, .lineSpacing = 100, .speed = 10, .green = 0.0f, .blue = 0.0f},
                  m_library);
        bright.Set(
            {.font = u"bright", .size = 30, .lineSpacing = 100, .speed = 10, .red = 0.0f, .blue = 0.0f, .alpha = 0.5f},
            m_library);
    }
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;

    // Runs the replay's frames, calling the frame function in each.
    void Run(const std::function<void()>& frame) { TestTools::RunFrames(m_hge.Get(), frame); }

    [[nodiscard]] std::string Log() const { return m_folder.Read("engine.log"); }

private:
    // Copies the font before anything reads "fonts/": the folder becomes the working folder here.
    PlatformOptions Options(const std::string& replay, int frames)
    {
        std::filesystem::create_directories(m_folder.Path() / "fonts");
        std::filesystem::copy_file(kDejaVu, m_folder.Path() / "fonts" / "plain.ttf");
        std::filesystem::copy_file(kDejaVu, m_folder.Path() / "fonts" / "bright.ttf");
        m_folder.Enter();
        return TestTools::ReplayOptions(replay, frames);
    }

    TestTools::ProcessRecordGuard m_records;
    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    HgeManager m_manager;
    FontLibrary m_library;

public:
    Style plain;
    Style bright;
};

// The numbers lit, in order.
std::string Lit(const TextSlider& slider)
{
    std::string lit;
    for (const TextSlider::Entry& entry : slider.GetEntries())
        lit += entry.highlighted ? std::to_string(entry.value) + " " : "";
    return lit;
}

TEST(TextSliderTest, NumbersAreLaidOutByTheirDigitsAndDraggingSetsEveryNumberPassedOver)
{
    Volume volume;
    volume.value = 8.0f;
    Stage stage(DataFile("text_slider.replay"), 7);
    ASSERT_NE(stage.plain.GetFont()->GetFace(FontVariant::Regular), nullptr) << "fonts-dejavu-core is missing";
    TextSlider slider(u"music", &stage.plain, &stage.bright, volume.Setter(), volume.Getter(), 0, 10, 100, 50, 5.0f);
    ASSERT_EQ(slider.GetEntries().size(), 11u);
    float pen = 100.0f;
    for (const TextSlider::Entry& entry : slider.GetEntries()) {
        EXPECT_EQ(entry.x1, pen) << entry.value;
        EXPECT_EQ(entry.y2, 50.0f + slider.GetTextHeight());
        pen = entry.x2 + 5.0f;
    }
    // Without spacing the numbers stand a blank of the face apart.
    const TextSlider pair(u"s", &stage.plain, nullptr, {}, {}, 0, 1, 0, 0);
    FontFace* face = stage.plain.GetFont()->GetFace(FontVariant::Regular);
    EXPECT_EQ(pair.GetEntries().at(1).x1 - pair.GetEntries().at(0).x2, face->SpaceAdvance());
    EXPECT_GT(face->SpaceAdvance(), 0.0f);
    const TextSlider::Entry& ten = slider.GetEntries()[10];
    EXPECT_EQ(ten.text, u"10");
    EXPECT_EQ(ten.x2 - ten.x1, 2.0f * slider.GetDigitWidth());
    EXPECT_TRUE(TextSlider(u"e", &stage.plain, nullptr, {}, {}, 5, 4, 0, 0).GetEntries().empty());

    // The widest range neither overflows nor builds billions of entries.
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    TextSlider wide(u"wide", &stage.plain, nullptr, {}, {}, kMin, kMax, 0, 0);
    ASSERT_EQ(wide.GetEntries().size(), 1000u);
    EXPECT_EQ(wide.GetEntries().back().value, kMin + 999);
    EXPECT_EQ(TextSlider(u"top", &stage.plain, nullptr, {}, {}, kMax - 1, kMax, 0, 0).GetEntries().back().text,
              u"2147483647");
    EXPECT_NE(stage.Log().find("Text slider 'wide'"), std::string::npos) << stage.Log();

    std::string lit;
    stage.Run([&] {
        slider.Update(1.0f / 60.0f);
        lit += Lit(slider) + "| ";
    });
    EXPECT_EQ(volume.sets, (std::vector<float>{2, 3, 4, 5}));
    EXPECT_EQ(lit, "2 | 3 | 4 | 4 | 5 | 5 7 | 5 | ")
        << "the number under the mouse and the value; leaving the window unlights the first";

    // A value changed elsewhere shows at the next update without the mouse.
    volume.value = 9.0f;
    slider.Update(0.0f);
    EXPECT_EQ(Lit(slider), "9 ");
}

// Boxes 10 x 8 with 2 pixels between them, from (50, 100).
class VisualSliderTest : public ::testing::Test
{
protected:
    // The boxes drawn: '#' opaque, '+' at half opacity.
    [[nodiscard]] std::string Opacities() const
    {
        std::string opacities;
        for (const RecordingPicture::Drawing& drawing : m_box.drawings)
            opacities += drawing.opacity == 1.0f ? '#' : drawing.opacity == 0.5f ? '+' : '?';
        return opacities;
    }

    // The boxes one render draws.
    std::size_t Drawn(VisualSlider& slider)
    {
        m_box.drawings.clear();
        slider.Render();
        return m_box.drawings.size();
    }

    RecordingPicture m_box{10.0f, 8.0f};
    RecordingPicture m_background{200.0f, 20.0f};
    Volume m_volume;
};

TEST_F(VisualSliderTest, TheBoxesDrawnFollowTheValueNotTheCount)
{
    VisualSlider slider(u"sfx", &m_box, &m_background, 5, 2, m_volume.Setter(), m_volume.Getter(), 50, 100);
    m_volume.value = 10.0f;
    ASSERT_EQ(Drawn(slider), 11u);
    for (std::size_t j = 0; j < 11; ++j) {
        EXPECT_EQ(m_box.drawings[j].x, 50.0f + 12.0f * static_cast<float>(j));
        EXPECT_EQ(m_box.drawings[j].y, 100.0f);
    }
    EXPECT_EQ(Opacities(), std::string(11, '#'));
    EXPECT_EQ(m_background.drawings.size(), 1u);
    for (const auto& [value, boxes] : std::vector<std::pair<float, std::size_t>>{
             {0.0f, 1}, {-1.0f, 0}, {std::numeric_limits<float>::quiet_NaN(), 0}, {1e30f, VisualSlider::kMaxBoxes}}) {
        m_volume.value = value;
        EXPECT_EQ(Drawn(slider), boxes) << value << ": a huge value cannot stall";
    }
    VisualSlider unbound(u"none", &m_box, &m_background, 5, 2, {}, {}, 50, 100);
    EXPECT_EQ(Drawn(unbound), 0u) << "an unbound slider shows only its background";
    VisualSlider(u"nobox", nullptr, nullptr, 5, 2, m_volume.Setter(), m_volume.Getter(), 50, 100).Render();
}

TEST_F(VisualSliderTest, HoveringPreviewsBoxesAtHalfOpacityAndPressingSetsTheBoxsValue)
{
    Stage stage(DataFile("visual_slider.replay"), 7);
    m_volume.value = 7.0f;
    VisualSlider slider(u"sfx", &m_box, &m_background, 11, 2, m_volume.Setter(), m_volume.Getter(), 50, 100);
    VisualSlider unbound(u"none", &m_box, nullptr, 11, 2, {}, {}, 50, 100);
    VisualSlider boxless(u"nobox", nullptr, &m_background, 11, 2, m_volume.Setter(), m_volume.Getter(), 50, 100);
    // Each frame: the box under the mouse of the slider, of the unbound one and of the one without boxes; the boxes.
    std::string frames;
    stage.Run([&] {
        for (VisualSlider* each : {&slider, &unbound, &boxless}) {
            each->Update(0.0f);
            frames += std::to_string(each->GetHovered()) + " ";
        }
        m_box.drawings.clear();
        slider.Render();
        frames += Opacities() + "\n";
    });
    // Three boxes previewed whatever the value, then box 0 pressed, dragged to the last; away from the boxes the
    // value 10 shows; after leaving, the value 1.
    EXPECT_EQ(frames, "3 -1 -1 +++\n1 -1 -1 +\n11 -1 -1 +++++++++++\n-1 -1 -1 ###########\n-1 -1 -1 ###########\n"
                      "2 -1 -1 ++\n-1 -1 -1 ##\n");
    EXPECT_EQ(m_volume.sets, (std::vector<float>{0, 10, 1})) << "only the slider with a box picture took input";
}

} // namespace
} // namespace Vel
