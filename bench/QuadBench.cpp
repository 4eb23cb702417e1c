// Drawing 10,000 textured quads per frame headless: as named sprites through Sprite::Render, as bare quads through
// hgeSprite and the 2D library's quad path, and the same quads sent straight to SDL_RenderGeometry on a software
// renderer of the same size, to show what the engine's layers cost on top of the rasteriser. The program ends with
// the overhead of each engine path over the raw one.
#include "BenchTools.h"
#include "platform/Hge.h"
#include "platform/PlatformOptions.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "resources/hgeSprite.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kQuads = 10000;
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kTextureSide = 64;
constexpr int kLargeSide = 32; // picture-sized quads
constexpr int kSmallSide = 8;  // letter-sized quads, where the per-quad work weighs most

// The texture both paths draw: four solid quadrants with a half-transparent one, so blending does real work.
std::vector<std::uint32_t> TexturePixels()
{
    std::vector<std::uint32_t> pixels(kTextureSide * kTextureSide);
    for (int y = 0; y < kTextureSide; ++y) {
        for (int x = 0; x < kTextureSide; ++x) {
            const int quadrant = (x * 2 / kTextureSide) + 2 * (y * 2 / kTextureSide);
            static const std::uint32_t kColours[4] = {0xFFFF0000, 0xFF00FF00, 0x800000FF, 0xFFFFFFFF};
            pixels[y * kTextureSide + x] = kColours[quadrant];
        }
    }
    return pixels;
}

// Where quad i goes and which quadrant of the texture it shows; the same for both paths.
struct Placement
{
    float x, y;
    int quadrant; // 0 top left, 1 top right, 2 bottom left, 3 bottom right
};

std::vector<Placement> Placements()
{
    std::vector<Placement> placements;
    placements.reserve(kQuads);
    for (int i = 0; i < kQuads; ++i) {
        placements.push_back({static_cast<float>((i * 37) % (kScreenWidth - kLargeSide)),
                              static_cast<float>((i * 53) % (kScreenHeight - kLargeSide)), i % 4});
    }
    return placements;
}

// One 32 x 32 picture file per texture quadrant, as a game's pictures are files; returns their names.
std::vector<std::u16string> WritePictures(const std::filesystem::path& folder)
{
    std::vector<std::uint32_t> pixels = TexturePixels();
    std::vector<std::u16string> files;
    for (int quadrant = 0; quadrant < 4; ++quadrant) {
        std::uint32_t* first = &pixels[(quadrant / 2) * 32 * kTextureSide + (quadrant % 2) * 32];
        files.push_back(Vel::BenchTools::WritePng(folder / ("quadrant" + std::to_string(quadrant) + ".png"), first,
                                                  32, kTextureSide));
    }
    return files;
}

void SpriteRenderQuads(benchmark::State& state)
{
    const float zoom = static_cast<float>(state.range(0)) / 32.0f; // 1: the picture's own size
    Vel::HGE* hge = Vel::BenchTools::OpenHeadless(state, kScreenWidth, kScreenHeight);
    if (!hge)
        return;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vel_quadbench_" + std::to_string(getpid()));
    {
        Vel::ResourceManager resources;
        std::vector<Vel::Sprite*> sprites;
        for (const std::u16string& file : WritePictures(folder)) {
            sprites.push_back(resources.GetSprite(file));
            sprites.back()->SetFile(file);
        }
        const std::vector<Placement> placements = Placements();
        for (auto _ : state) {
            hge->Gfx_BeginScene();
            hge->Gfx_Clear(0xFF000000);
            for (const Placement& p : placements)
                sprites[p.quadrant]->Render(p.x, p.y, zoom, 1.0f);
            hge->Gfx_EndScene();
        }
        state.SetItemsProcessed(state.iterations() * kQuads);
    }
    std::filesystem::remove_all(folder);
    Vel::BenchTools::CloseHeadless(hge);
}

void HgeSpriteQuads(benchmark::State& state)
{
    const float side = static_cast<float>(state.range(0));
    Vel::HGE* hge = Vel::BenchTools::OpenHeadless(state, kScreenWidth, kScreenHeight);
    if (!hge)
        return;
    const Vel::HTEXTURE texture = hge->Texture_Create(kTextureSide, kTextureSide);
    const std::vector<std::uint32_t> pixels = TexturePixels();
    std::copy(pixels.begin(), pixels.end(), hge->Texture_Lock(texture, false));
    hge->Texture_Unlock(texture);
    std::vector<std::unique_ptr<Vel::hgeSprite>> sprites; // one per texture quadrant, as a game has many pictures
    for (int i = 0; i < 4; ++i) {
        sprites.push_back(std::make_unique<Vel::hgeSprite>(texture, (i % 2) * 32.0f, (i / 2) * 32.0f, side, side));
    }
    const std::vector<Placement> placements = Placements();

    for (auto _ : state) {
        hge->Gfx_BeginScene();
        hge->Gfx_Clear(0xFF000000);
        for (const Placement& p : placements)
            sprites[p.quadrant]->RenderEx(p.x, p.y, 0.0f, 1.0f);
        hge->Gfx_EndScene();
    }
    state.SetItemsProcessed(state.iterations() * kQuads);
    sprites.clear();
    Vel::BenchTools::CloseHeadless(hge);
}

// The raw path, set up like the library's headless device: software renderer on an ARGB8888 surface.
class RawDevice
{
public:
    RawDevice()
    {
        m_surface = SDL_CreateRGBSurfaceWithFormat(0, kScreenWidth, kScreenHeight, 32, SDL_PIXELFORMAT_ARGB8888);
        m_renderer = m_surface != nullptr ? SDL_CreateSoftwareRenderer(m_surface) : nullptr;
        if (m_renderer == nullptr)
            return;
        m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, kTextureSide,
                                      kTextureSide);
        const std::vector<std::uint32_t> pixels = TexturePixels();
        SDL_UpdateTexture(m_texture, nullptr, pixels.data(), kTextureSide * 4);
        SDL_SetTextureBlendMode(m_texture, SDL_BLENDMODE_BLEND);
        SDL_SetTextureScaleMode(m_texture, SDL_ScaleModeLinear);
    }
    ~RawDevice()
    {
        if (m_texture != nullptr)
            SDL_DestroyTexture(m_texture);
        if (m_renderer != nullptr)
            SDL_DestroyRenderer(m_renderer);
        SDL_FreeSurface(m_surface);
    }
    RawDevice(const RawDevice&) = delete;
    RawDevice& operator=(const RawDevice&) = delete;

    [[nodiscard]] bool IsOpen() const { return m_texture != nullptr; }
    SDL_Renderer* Renderer() const { return m_renderer; }
    SDL_Texture* Texture() const { return m_texture; }

private:
    SDL_Surface* m_surface = nullptr;
    SDL_Renderer* m_renderer = nullptr;
    SDL_Texture* m_texture = nullptr;
};

void RawSdlQuads(benchmark::State& state)
{
    const float side = static_cast<float>(state.range(0));
    RawDevice device;
    if (!device.IsOpen()) {
        state.SkipWithError("the software renderer did not open");
        return;
    }
    std::vector<SDL_Vertex> vertices;
    vertices.reserve(kQuads * 4);
    constexpr float kTexel = 1.0f / kTextureSide;
    for (const Placement& p : Placements()) {
        const float x1 = p.x + side, y1 = p.y + side;
        const float left = static_cast<float>(p.quadrant % 2) * 32.0f, top = static_cast<float>(p.quadrant / 2) * 32.0f;
        const float u0 = left * kTexel, v0 = top * kTexel, u1 = (left + side) * kTexel, v1 = (top + side) * kTexel;
        const SDL_Color white{255, 255, 255, 255};
        vertices.push_back({{p.x, p.y}, white, {u0, v0}});
        vertices.push_back({{x1, p.y}, white, {u1, v0}});
        vertices.push_back({{x1, y1}, white, {u1, v1}});
        vertices.push_back({{p.x, y1}, white, {u0, v1}});
    }
    static const int kIndices[6] = {0, 1, 2, 0, 2, 3};
    SDL_Renderer* renderer = device.Renderer();

    for (auto _ : state) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        for (int i = 0; i < kQuads; ++i)
            SDL_RenderGeometry(renderer, device.Texture(), &vertices[i * 4], 4, kIndices, 6);
        // Queued drawing must really happen inside the frame, as the library's end of scene makes it.
        SDL_RenderFlush(renderer);
    }
    state.SetItemsProcessed(state.iterations() * kQuads);
}

// Named sprites draw whole 32 x 32 pictures, so they are compared at that size only.
BENCHMARK(SpriteRenderQuads)->Arg(kLargeSide)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(HgeSpriteQuads)->Arg(kLargeSide)->Arg(kSmallSide)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(RawSdlQuads)->Arg(kLargeSide)->Arg(kSmallSide)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Prints as usual and keeps each benchmark's time per frame for the comparison at the end.
class ComparingReporter : public benchmark::ConsoleReporter
{
public:
    ComparingReporter() : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            // With --benchmark_report_aggregates_only only the mean arrives, which is all that is needed.
            const bool mean = run.run_type == Run::RT_Aggregate && run.aggregate_name == "mean";
            if ((run.run_type == Run::RT_Iteration || mean) && run.iterations > 0)
                m_times[run.run_name.function_name + "/" + run.run_name.args].push_back(run.GetAdjustedRealTime());
        }
    }
    // Mean of the repetitions of "function/argument", in the reporter's time unit; 0 when it did not run.
    [[nodiscard]] double Mean(const std::string& name) const
    {
        auto found = m_times.find(name);
        if (found == m_times.end() || found->second.empty())
            return 0.0;
        double sum = 0.0;
        for (double time : found->second)
            sum += time;
        return sum / static_cast<double>(found->second.size());
    }

private:
    std::map<std::string, std::vector<double>> m_times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    ComparingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (int side : {kLargeSide, kSmallSide}) {
        const double raw = reporter.Mean("RawSdlQuads/" + std::to_string(side));
        for (const char* path : {"SpriteRenderQuads", "HgeSpriteQuads"}) {
            const double engine = reporter.Mean(std::string(path) + "/" + std::to_string(side));
            if (engine > 0.0 && raw > 0.0)
                std::printf("%d x %d quads: %s %.3f ms, raw SDL_RenderGeometry %.3f ms per frame of %d; "
                            "overhead %+.1f %%\n",
                            side, side, path, engine, raw, kQuads, (engine / raw - 1.0) * 100.0);
        }
    }
    benchmark::Shutdown();
    return 0;
}
