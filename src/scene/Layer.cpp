#include "scene/Layer.h"

#include "data/BinarySerializer.h"
#include "platform/FrameActivity.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

#include <algorithm>

namespace Vel {

void Layer::Render()
{
    for (SceneNode* node : m_nodes)
        node->Render();
}

bool Layer::TestMouse(float x, float y, bool clicked)
{
    bool hit = false;
    // Indexes: a click action may take nodes out of this list while it is walked.
    for (std::size_t i = 0; i < m_nodes.size(); ++i) {
        if (m_nodes[i]->TestMouse(x, y, clicked)) {
            hit = true;
            x = kUnset;
            y = kUnset;
        }
    }
    return hit;
}

bool Layer::ActsAt(float x, float y) const
{
    for (SceneNode* node : m_nodes) {
        if (node->ActsAt(x, y))
            return true;
    }
    return false;
}

void Layer::Advance()
{
    // Indexes: an animator's end may take nodes out of this list while it is walked.
    for (std::size_t i = 0; i < m_nodes.size(); ++i)
        m_nodes[i]->Advance();
}

void Layer::Append(SceneNode& node)
{
    m_nodes.push_back(&node);
    FrameActivity::Changed();
}

void Layer::Remove(const SceneNode* node)
{
    if (std::erase(m_nodes, node) > 0)
        FrameActivity::Changed();
}

void Layer::Clear()
{
    if (!m_nodes.empty())
        FrameActivity::Changed();
    m_nodes.clear();
}

bool Layer::Contains(const SceneNode* node) const
{
    return std::find(m_nodes.begin(), m_nodes.end(), node) != m_nodes.end();
}

void Layer::SaveRecord(Serializer& serializer, std::int32_t depth, const std::vector<SceneNode*>& nodes)
{
    serializer.WriteInt(depth);
    serializer.WriteInt(static_cast<std::int32_t>(nodes.size()));
    for (const SceneNode* node : nodes)
        serializer.WriteString(node->GetName());
}

bool Layer::Load(Serializer& serializer, const Scene& scene)
{
    std::int32_t count = 0;
    serializer.ReadInt(m_depth);
    serializer.ReadInt(count);
    if (count < 0)
        return false;
    // Bounded by the file: a count larger than the data fails at the first name past its end.
    for (std::int32_t i = 0; i < count && !serializer.Failed(); ++i) {
        std::u16string name;
        serializer.ReadString(name);
        SceneNode* node = scene.FindNode(name);
        if (!serializer.Failed() && node != nullptr && !Contains(node))
            Append(*node);
    }
    return !serializer.Failed();
}

} // namespace Vel
