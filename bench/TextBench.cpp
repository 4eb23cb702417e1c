// One frame of a long story text, headless: a 1,000-letter text typed at speed 10 (or shown whole) into a
// 600 x 400 text box and wrapped anew, then drawn with a bitmap font, every frame, through the dialogue manager.
// The same for TrueType styles (the Unicode test game's faces at 16 pixels) with 1,000 Latin letters, 1,000 CJK
// ideographs or 1,000 Arabic letters (typed parts shaped again by themselves) in a 780 x 580 box, which holds them
// all. Reports the allocations of the measured frames, which must be
// none once the text is set.
#include "AllocationCounter.h"
#include "BenchTools.h"
#include "dialogue/DialogManager.h"
#include "dialogue/Textbox.h"
#include "resources/ResourceManager.h"
#include "resources/Style.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include <unistd.h>

namespace {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kLetters = 1000;
constexpr float kFrame = 1.0f / 60.0f;
constexpr int kFrames = 1800; // 30 seconds of frames: speed 10 does not finish typing the text

// Words of three to nine letters with blanks between, kLetters in all.
std::u16string LongText()
{
    std::u16string text;
    for (int word = 0; text.size() < kLetters; ++word) {
        text.append(static_cast<std::size_t>(3 + word % 7), static_cast<char16_t>(u'a' + word % 26));
        text += u' ';
    }
    text.resize(kLetters);
    return text;
}

// Ideographs with a full stop every 20th, which may not start a line.
std::u16string LongCjkText()
{
    const std::u16string ideographs = u"春夏秋冬雪花鳥風月山漢";
    std::u16string text;
    for (std::size_t i = 0; text.size() < kLetters; ++i)
        text += i % 20 == 19 ? u'。' : ideographs[i % ideographs.size()];
    return text;
}

// Joining letters, so that most typed parts end inside a word and are shaped again by themselves.
std::u16string LongArabicText()
{
    std::u16string text;
    while (text.size() < kLetters)
        text += u"مرحبا ";
    text.resize(kLetters);
    return text;
}

void DrawFrame(Vel::HGE* hge, Vel::DialogManager& dialogue)
{
    dialogue.Update(kFrame);
    hge->Gfx_BeginScene();
    hge->Gfx_Clear(0xFF000000);
    dialogue.Render();
    hge->Gfx_EndScene();
}

// Updates and draws the dialogue every iteration, counting what the frames allocate.
void MeasureFrames(benchmark::State& state, Vel::HGE* hge, Vel::DialogManager& dialogue, const Vel::Textbox& box)
{
    std::size_t allocations = 0;
    for (auto _ : state) {
        const Vel::TestTools::AllocationScope scope;
        DrawFrame(hge, dialogue);
        allocations += scope.Allocations();
    }
    state.counters["allocations"] = static_cast<double>(allocations);
    state.counters["shown"] = box.GetShown();
}

struct BoxPlace
{
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
};

// The text set into a box at the place, in a style of the values, with the fonts of the game folder (relative to
// the sources), read relative to it like any game's fonts; then the frames measured. state.range(0) is the speed:
// 10 types 30 letters a second, so the text is still typing when the measurement ends; 0 shows it whole from the
// start.
void MeasureBox(benchmark::State& state, const char* game, const Vel::Style::Values& values, const std::u16string& text,
                const BoxPlace& place)
{
    Vel::HGE* hge = Vel::BenchTools::OpenHeadless(state, kScreenWidth, kScreenHeight);
    if (!hge)
        return;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(VEL_SOURCE_DIR) / game);
    {
        Vel::ResourceManager resources;
        Vel::DialogManager dialogue;
        Vel::Style* style = resources.GetStyle(u"speech");
        style->Set(values, resources.GetFontLibrary());
        Vel::Textbox* box = dialogue.GetTextbox(u"main");
        box->MoveTo(place.x, place.y);
        box->SetSize(place.width, place.height);
        // Typed once unmeasured first: glyph forms that only typed parts show (a joining letter typed last) are
        // rasterised on their first showing, which the measured second typing no longer needs.
        box->SetText(text, style, static_cast<float>(state.range(0)), nullptr);
        for (int frame = 0; frame < kFrames; ++frame)
            DrawFrame(hge, dialogue);
        box->SetText(text, style, static_cast<float>(state.range(0)), nullptr);
        MeasureFrames(state, hge, dialogue, *box);
    }
    std::filesystem::current_path(previous);
    Vel::BenchTools::CloseHeadless(hge);
}

void TypeAndDraw(benchmark::State& state)
{
    MeasureBox(state, "tests/games/dialogue", {.font = u"font1", .lineSpacing = 100, .speed = 10}, LongText(),
               {100.0f, 100.0f, 600.0f, 400.0f});
}

// Arguments: the speed, then 0 for Latin text, 1 for CJK, 2 for Arabic.
void TypeAndDrawTrueType(benchmark::State& state)
{
    const bool cjk = state.range(1) == 1;
    const std::u16string text = cjk ? LongCjkText() : state.range(1) == 2 ? LongArabicText() : LongText();
    MeasureBox(state, "tests/games/unicode",
               {.font = cjk ? u"cjk" : u"sans", .size = 16, .lineSpacing = 100, .speed = 10}, text,
               {10.0f, 10.0f, 780.0f, 580.0f});
}

} // namespace

BENCHMARK(TypeAndDraw)->Arg(10)->Arg(0)->Unit(benchmark::kMicrosecond)->Iterations(kFrames);
BENCHMARK(TypeAndDrawTrueType)
    ->Args({10, 0})
    ->Args({0, 0})
    ->Args({10, 1})
    ->Args({0, 1})
    ->Args({10, 2})
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(kFrames);
BENCHMARK_MAIN();
