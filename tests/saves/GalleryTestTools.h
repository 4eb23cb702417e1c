#pragma once

// Shared by the gallery tests: a headless 640 x 480 window showing a game of the same size (mouse pixels are game
// pixels) with replayed input, the managers a gallery reaches, small picture files to tell which items were drawn
// (a sprite loads its texture the first time it is drawn), and parts that record where they were drawn.

#include "HeadlessHge.h"
#include "ReplayLoop.h"
#include "TempFolder.h"

#include "app/GameSystems.h"
#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "resources/Resource.h"
#include "resources/Sprite.h"
#include "saves/Gallery.h"
#include "scene/ClickGate.h"
#include "scene/SceneNode.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Vel::TestTools {

// A gallery part that records where it was drawn.
class RecordingPicture : public Resource
{
public:
    using Drawing = std::pair<float, float>;

    [[nodiscard]] ResourceType GetType() const override { return ResourceType::Sprite; }
    [[nodiscard]] float GetWidth() override { return 40.0f; }
    [[nodiscard]] float GetHeight() override { return 30.0f; }
    void Render(float x, float y, float, float) override { drawings.emplace_back(x, y); }
    void Unload() override {}

    std::vector<Drawing> drawings;
};

// A 2 x 2 picture file's bytes.
inline std::string TinyBmp()
{
    std::ifstream in(std::string(VEL_TEST_DATA) + "/tiny.bmp", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class GalleryStage : public InputTest
{
protected:
    static constexpr float kFrame = 1.0f / 60.0f;

    // The interface with the replay and the managers; before anything else is made.
    void Prepare(const std::string& replay = "", int frames = 1)
    {
        m_hge.emplace(ReplayOptions(replay, frames), 640, 480);
        m_hgeManager.emplace(m_folder.File("engine.log"));
        ASSERT_TRUE((*m_hge)->System_Initiate());
        m_systems.emplace();
    }

    // Picture files "<prefix>0.bmp" ... on disk, added as items with the condition.
    void AddItems(Gallery& gallery, int count, const std::u16string& condition = u"sys_open",
                  const std::string& prefix = "p")
    {
        for (int i = 0; i < count; ++i) {
            const std::string file = prefix + std::to_string(i) + ".bmp";
            m_folder.Write(file, TinyBmp());
            gallery.AddItem(std::u16string(file.begin(), file.end()), condition, u"");
        }
    }

    [[nodiscard]] std::unique_ptr<SceneNode> Part(RecordingPicture& picture, float x, float y) const
    {
        auto node = std::make_unique<SceneNode>();
        node->SetResource(&picture);
        node->MoveTo(x, y);
        return node;
    }

    // Whether the picture of that name has been drawn (loaded) so far.
    [[nodiscard]] bool Drawn(const std::string& file)
    {
        return m_systems->resources.GetSprite(std::u16string(file.begin(), file.end()))->GetFrame().GetTexture() != 0;
    }

    void Draw(Gallery& gallery)
    {
        ASSERT_TRUE((*m_hge)->Gfx_BeginScene());
        gallery.Render();
        (*m_hge)->Gfx_EndScene();
    }

    // The replay's frames, updating the gallery as the scenes manager does; afterFrame sees each frame's result.
    void Run(Gallery& gallery, const std::function<void()>& afterFrame)
    {
        RunFrames(m_hge->Get(), [&] {
            ClickGate::Left().Advance(kFrame);
            gallery.Update(kFrame);
            afterFrame();
        });
    }

    std::optional<HeadlessHge> m_hge;
    std::optional<HgeManager> m_hgeManager;
    std::optional<GameSystems> m_systems;
};

} // namespace Vel::TestTools
