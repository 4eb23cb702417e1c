#pragma once

// The draw and hit-test order of the nodes that share one layer number in a scene. The first node of the list is
// drawn first (at the bottom) and also gets the mouse first. The scene owns its layers; a layer borrows its nodes
// from the scene, which takes a node out of every layer before it deletes it.

#include <cstdint>
#include <vector>

namespace Vel {

class Scene;
class SceneNode;
class Serializer;

class Layer
{
public:
    explicit Layer(std::int32_t depth = 0) : m_depth(depth) {}
    virtual ~Layer() = default;
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    // Draws the visible nodes in list order.
    void Render();
    // Tests the nodes in list order; once one is hit, the rest see the mouse nowhere (the click still reaches
    // their animators). Returns whether a node was hit.
    bool TestMouse(float x, float y, bool clicked);
    // Whether a node here would run an action for a click at the point.
    [[nodiscard]] bool ActsAt(float x, float y) const;
    // The animators of every node see an advance as a click.
    void Advance();

    void Append(SceneNode& node);
    // Every occurrence; nothing when the node is not in the list.
    void Remove(const SceneNode* node);
    void Clear();
    [[nodiscard]] bool Contains(const SceneNode* node) const;
    [[nodiscard]] const std::vector<SceneNode*>& GetNodes() const { return m_nodes; }
    [[nodiscard]] std::int32_t GetDepth() const { return m_depth; }

    // Depth, node count, then each node's name in draw order.
    void Save(Serializer& serializer) const { SaveRecord(serializer, m_depth, m_nodes); }
    // The same record for a draw list that is not (yet) a layer's.
    static void SaveRecord(Serializer& serializer, std::int32_t depth, const std::vector<SceneNode*>& nodes);
    // Reads a record written by Save and looks the names up in the scene; names that match no node of the scene,
    // or a node already placed in this layer, are skipped. False when the serializer failed on the way.
    [[nodiscard]] bool Load(Serializer& serializer, const Scene& scene);

private:
    std::vector<SceneNode*> m_nodes;
    std::int32_t m_depth;
};

} // namespace Vel
