// One frame of a busy story scene, headless: 10,000 picture nodes, each moved by a running animator, advanced by
// ScenesManager::Update and drawn by ScenesManager::Render. The update is the part that has to fit a frame on one
// core next to everything else; the draw shows what the scene adds on top of the quads themselves.
#include "app/TextCodec.h"
#include "platform/Hge.h"
#include "platform/PlatformOptions.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "scene/MoveAnimator.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/ScenesManager.h"

#include <SDL.h>
#include <SDL_image.h>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kNodes = 10000;
constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kSide = 32;
constexpr float kFrame = 1.0f / 60.0f;
constexpr float kNeverEnds = 1.0e9f; // the animators stay running for the whole benchmark

// The headless display at the benchmark's screen size; nullptr (and the benchmark skipped) on failure.
Vel::HGE* OpenHeadless(benchmark::State& state)
{
    Vel::PlatformOptions options;
    options.headless = true;
    Vel::SetPlatformOptions(options);
    Vel::HGE* hge = Vel::hgeCreate(Vel::HGE_VERSION);
    hge->System_SetState(Vel::HGE_SCREENWIDTH, kScreenWidth);
    hge->System_SetState(Vel::HGE_SCREENHEIGHT, kScreenHeight);
    if (hge->System_Initiate())
        return hge;
    state.SkipWithError("the headless display did not open");
    hge->Release();
    return nullptr;
}

// A half-transparent square picture file, so blending does real work.
std::u16string WritePicture(const std::filesystem::path& folder)
{
    std::filesystem::create_directories(folder);
    std::vector<std::uint32_t> pixels(kSide * kSide, 0x80FF8000);
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceWithFormatFrom(pixels.data(), kSide, kSide, 32, kSide * 4, SDL_PIXELFORMAT_ARGB8888);
    const std::string file = (folder / "node.png").string();
    IMG_SavePNG(surface, file.c_str());
    SDL_FreeSurface(surface);
    return std::u16string(file.begin(), file.end());
}

// The story scene with its nodes, current and started, the additions already applied.
class BusyScene
{
public:
    explicit BusyScene(const std::u16string& picture)
    {
        Vel::Sprite* sprite = m_resources.GetSprite(picture);
        sprite->SetFile(picture);
        Vel::Scene* scene = m_scenes.CreateScene(u"busy");
        // Started first: the start resets the stage.
        m_scenes.StartScene(u"busy", Vel::SceneStart::Reset);
        for (int i = 0; i < kNodes; ++i) {
            Vel::SceneNode* node = scene->CreateNode(u"node" + Vel::TextCodec::Widen(std::to_string(i)), i % 8, {});
            node->SetResource(sprite);
            const float x = static_cast<float>((i * 37) % (kScreenWidth - kSide));
            const float y = static_cast<float>((i * 53) % (kScreenHeight - kSide));
            node->AddAnimator(std::make_unique<Vel::MoveAnimator>(*node, x, y, y, x, kNeverEnds));
        }
        m_scenes.Update(kFrame);
        if (scene->GetNodes().size() != kNodes)
            std::abort();
    }

    Vel::ScenesManager& Scenes() { return m_scenes; }

private:
    Vel::ResourceManager m_resources;
    Vel::ScenesManager m_scenes;
};

void SceneUpdate(benchmark::State& state)
{
    BusyScene busy(u"unused.png");
    for (auto _ : state)
        busy.Scenes().Update(kFrame);
    state.SetItemsProcessed(state.iterations() * kNodes);
}

void SceneRender(benchmark::State& state)
{
    Vel::HGE* hge = OpenHeadless(state);
    if (!hge)
        return;
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("vel_scenebench_" + std::to_string(getpid()));
    {
        BusyScene busy(WritePicture(folder));
        for (auto _ : state) {
            hge->Gfx_BeginScene();
            hge->Gfx_Clear(0xFF000000);
            busy.Scenes().Render();
            hge->Gfx_EndScene();
        }
        state.SetItemsProcessed(state.iterations() * kNodes);
    }
    std::filesystem::remove_all(folder);
    hge->System_Shutdown();
    hge->Release();
}

} // namespace

BENCHMARK(SceneUpdate)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(SceneRender)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
