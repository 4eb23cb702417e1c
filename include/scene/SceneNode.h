#pragma once

// What a scene's layers draw and hit-test: an animation object showing a picture resource on a numbered layer. The
// scene creates and owns its nodes; commands configure them. A node is hit-tested at its position (x, y) and drawn
// at its draw position when that is set, so menus can draw full-screen pictures that never take the mouse.

#include "scene/AnimationObject.h"

#include <cstdint>

namespace Vel {

class Resource;
class Serializer;

class SceneNode : public AnimationObject
{
public:
    enum class Hidden
    {
        Skip,
        Draw
    };

    SceneNode() = default;

    // The resource's size; 0 without one.
    [[nodiscard]] float GetWidth() override;
    [[nodiscard]] float GetHeight() override;
    // Advances the resource first (when there is one), then the animators.
    void Update(float dt) override;

    // Layers draw with Hidden::Skip; the slide gallery draws its pictures whatever their visibility. A picture with a
    // show condition is drawn only while its trigger holds the value.
    void Render(Hidden hidden = Hidden::Skip);
    // A picture its condition hides takes no mouse either.
    bool TestMouse(float x, float y, bool clicked) override;
    [[nodiscard]] bool ActsAt(float x, float y) override;

    void SetLayer(std::int32_t layer) { m_layer = layer; }
    [[nodiscard]] std::int32_t GetLayer() const { return m_layer; }
    // Borrowed: the ResourceManager owns every resource for the whole run.
    void SetResource(Resource* resource) { m_resource = resource; }
    [[nodiscard]] Resource* GetResource() const { return m_resource; }
    // kUnset in either means: draw at x / y.
    void SetDrawPosition(float x, float y);
    [[nodiscard]] float GetDrawX() const { return m_drawX; }
    [[nodiscard]] float GetDrawY() const { return m_drawY; }

    // The node's record in a saved game. Animators and the action are not saved; target names are resolved by the
    // first mouse test after loading and the resource is found by name in the ResourceManager.
    void Save(Serializer& serializer) const;
    // Into a freshly made node; false when the serializer failed on the way.
    [[nodiscard]] bool Load(Serializer& serializer);

private:
    [[nodiscard]] bool ConditionHolds() const;

    std::int32_t m_layer = 0;
    Resource* m_resource = nullptr;
    float m_drawX = kUnset;
    float m_drawY = kUnset;
};

} // namespace Vel
