#pragma once

// Shared by the scene tests: a picture of a size, a command that reports when told, the current scene for the length
// of a test, and node placement.

#include "core/Callback.h"
#include "resources/Resource.h"
#include "scene/Command.h"
#include "scene/CurrentScene.h"
#include "scene/Layer.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

#include <string>
#include <utility>
#include <vector>

namespace Vel::TestTools {

class TestPicture : public Resource
{
public:
    TestPicture(float width, float height) : m_width(width), m_height(height) {}

    [[nodiscard]] ResourceType GetType() const override { return ResourceType::Sprite; }
    [[nodiscard]] float GetWidth() override { return m_width; }
    [[nodiscard]] float GetHeight() override { return m_height; }
    void Render(float /*x*/, float /*y*/, float /*zoom*/, float /*opacity*/) override {}
    void Unload() override {}

private:
    float m_width;
    float m_height;
};

// Logs its runs; reports inside Execute when immediate, after its children when it has any, else when told.
class LoggingCommand : public Command
{
public:
    LoggingCommand(std::vector<std::string>& log, std::string tag, bool immediate = true)
        : m_log(log), m_tag(std::move(tag)), m_immediate(immediate)
    {
    }

    void Execute(Scene& scene) override
    {
        m_done = false;
        m_log.push_back(m_tag);
        Command::Execute(scene);
        if (m_immediate || (!GetChildren().empty() && m_pending == 0 && !m_done))
            Complete();
    }

private:
    std::vector<std::string>& m_log;
    std::string m_tag;
    bool m_immediate;
};

struct CurrentSceneScope
{
    explicit CurrentSceneScope(Scene& scene)
    {
        CurrentScene::SetAccessor(Callback<Scene*()>([&scene] { return &scene; }));
    }
    ~CurrentSceneScope() { CurrentScene::SetAccessor({}); }
};

inline SceneNode* PlaceNode(Scene& scene, const std::u16string& name, std::int32_t layer, float size)
{
    SceneNode* node = scene.CreateNode(name, layer, {});
    node->SetHitSize(size, size);
    return node;
}

inline const Scene::Mouse kNowhere{};

inline std::vector<std::u16string> DrawList(const Scene& scene, std::int32_t layer)
{
    std::vector<std::u16string> names;
    if (const Layer* found = scene.FindLayer(layer))
        for (const SceneNode* node : found->GetNodes())
            names.push_back(node->GetName());
    return names;
}

} // namespace Vel::TestTools
