// One frame of a busy story scene, headless: 10,000 picture nodes, each moved by a running animator, advanced by
// ScenesManager::Update and drawn by ScenesManager::Render. The update is the part that has to fit a frame on one
// core next to everything else; the draw shows what the scene adds on top of the quads themselves.
#include "BenchTools.h"
#include "core/TextCodec.h"
#include "platform/Hge.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "scene/MoveAnimator.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"
#include "scene/ScenesManager.h"

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

// A half-transparent square picture file, so blending does real work.
std::u16string WritePicture(const std::filesystem::path& folder)
{
    std::vector<std::uint32_t> pixels(kSide * kSide, 0x80FF8000);
    return Vel::BenchTools::WritePng(folder / "node.png", pixels.data(), kSide, kSide);
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
    Vel::HGE* hge = Vel::BenchTools::OpenHeadless(state, kScreenWidth, kScreenHeight);
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
    Vel::BenchTools::CloseHeadless(hge);
}

} // namespace

BENCHMARK(SceneUpdate)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(SceneRender)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
