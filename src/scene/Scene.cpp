#include "scene/Scene.h"

#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/Trace.h"
#include "data/Serializer.h"
#include "platform/FrameActivity.h"
#include "scene/ClickGate.h"
#include "scene/Command.h"
#include "scene/Layer.h"
#include "scene/StoryCoverage.h"
#include "scene/SceneNode.h"

#include <iterator>
#include <utility>

namespace Vel {

Scene::Scene() = default;

Scene::~Scene()
{
    // Not Reset: the list being run may be borrowed from an owner that is already gone.
    ClearStage();
}

void Scene::AddCommand(std::unique_ptr<Command> command)
{
    if (!command)
        return;
    m_commands.push_back(command.get());
    m_ownedCommands.push_back(std::move(command));
}

void Scene::TrimCommands()
{
    m_commands.shrink_to_fit();
    m_ownedCommands.shrink_to_fit();
}

SceneNode* Scene::CreateNode(const std::u16string& name, std::int32_t layer, const std::u16string& group)
{
    if ((m_nodes.contains(name) && !m_pendingRemovals.contains(name)) || m_pendingAdditions.contains(name))
        return nullptr;
    auto node = std::make_unique<SceneNode>();
    node->SetLayer(layer);
    node->SetName(name);
    SceneNode* created = node.get();
    m_pendingAdditions.emplace(name, std::move(node));
    if (group.empty())
        m_groups.Add(name);
    else
        m_groups.Add(name, group);
    return created;
}

SceneNode* Scene::FindNode(const std::u16string& name) const
{
    const auto live = m_nodes.find(name);
    if (live != m_nodes.end() && !m_pendingRemovals.contains(name))
        return live->second.get();
    const auto added = m_pendingAdditions.find(name);
    return added != m_pendingAdditions.end() ? added->second.get() : nullptr;
}

void Scene::RemoveNode(const std::u16string& name)
{
    const auto live = m_nodes.find(name);
    if (live == m_nodes.end())
        return;
    SceneNode* node = live->second.get();
    // Every layer, not only the node's own: a loaded game may have placed it elsewhere.
    for (const auto& [depth, layer] : m_layers)
        layer->Remove(node);
    node->DetachReferrers();
    m_pendingRemovals[name] = node;
}

SceneNode* Scene::GetDummyNode()
{
    const std::u16string name(kDummyNodeName);
    if (SceneNode* node = FindNode(name))
        return node;
    SceneNode* node = CreateNode(name, -1, {});
    node->Hide();
    return node;
}

void Scene::RemoveGroup(const std::u16string& group)
{
    m_groups.RemoveGroup(*this, group);
}

void Scene::ClearLayer(std::int32_t layer)
{
    if (Layer* found = FindLayer(layer))
        found->Clear();
}

void Scene::ClearAll()
{
    for (const auto& [name, node] : m_nodes)
        RemoveNode(name);
    RetireLayers();
}

void Scene::Reset()
{
    m_position = 0;
    ++m_run;
    ClearStage();
    for (Command* command : m_commands)
        command->Abandon();
}

void Scene::ClearStage()
{
    // Layers first, so retiring each node need not search them.
    RetireLayers();
    for (auto& [name, node] : m_pendingAdditions)
        Retire(std::move(node));
    m_pendingAdditions.clear();
    for (auto& [name, node] : m_nodes)
        Retire(std::move(node));
    m_nodes.clear();
    m_pendingRemovals.clear();
    m_groups.Clear();
}

bool Scene::Update(float dt, MouseAccess access, Advancing advancing)
{
    Mouse mouse;
    // The text that took the advance closed the gate: the pause after it waits for the next one.
    mouse.advance = advancing == Advancing::Now || (advancing == Advancing::Yes && ClickGate::Left().IsReady());
    HGE* hge = HgeManager::Interface();
    if (hge != nullptr && access != MouseAccess::None) {
        mouse.clicked = ClickGate::Left().Accept(hge->Input_GetKeyState(HGEK_LBUTTON));
        if (access == MouseAccess::Open && hge->Input_IsMouseOver()) {
            hge->Input_GetMousePos(&mouse.x, &mouse.y);
            ScreenToGame(mouse.x, mouse.y);
        }
    }
    return Update(dt, mouse);
}

bool Scene::ActsAt(float x, float y) const
{
    for (const auto& [depth, layer] : m_layers) {
        if (layer->ActsAt(x, y))
            return true;
    }
    return false;
}

void Scene::ApplyPendingChanges()
{
    ApplyPendingRemovals();
    ApplyPendingAdditions();
}

bool Scene::Update(float dt, const Mouse& mouse)
{
    ++m_updating;
    ApplyPendingChanges();
    UpdateNodes(dt);
    const bool hit = TestLayers(mouse);
    if (--m_updating == 0)
        FreeRetired();
    return hit;
}

void Scene::Render()
{
    for (const auto& [depth, layer] : m_layers)
        layer->Render();
}

void Scene::ApplyPendingRemovals()
{
    for (const auto& [name, node] : m_pendingRemovals) {
        const auto live = m_nodes.find(name);
        if (live != m_nodes.end() && live->second.get() == node) {
            Retire(std::move(live->second));
            m_nodes.erase(live);
        }
    }
    m_pendingRemovals.clear();
}

void Scene::ApplyPendingAdditions()
{
    for (auto& [name, node] : m_pendingAdditions) {
        std::unique_ptr<SceneNode>& slot = m_nodes[name];
        if (slot)
            Retire(std::move(slot));
        slot = std::move(node);
        GetOrCreateLayer(slot->GetLayer()).Append(*slot);
    }
    m_pendingAdditions.clear();
}

void Scene::UpdateNodes(float dt)
{
    // A node's update may run commands that reset or clear the scene. The nodes dropped then stay allocated until
    // Update returns (Retire), so the pointers taken here stay valid; once anything was retired, each later node
    // is checked to be still live before its turn. The order vector is reused, so a steady frame allocates nothing.
    m_updateOrder.clear();
    for (const auto& entry : m_nodes)
        m_updateOrder.push_back(entry.second.get());
    const std::uint64_t retiredBefore = m_retiredCount;
    for (SceneNode* node : m_updateOrder) {
        if (m_retiredCount != retiredBefore) {
            const auto live = m_nodes.find(node->GetName());
            if (live == m_nodes.end() || live->second.get() != node)
                continue;
        }
        node->Update(dt);
    }
}

bool Scene::TestLayers(Mouse mouse)
{
    std::vector<std::pair<std::int32_t, Layer*>> layers;
    layers.reserve(m_layers.size());
    for (auto entry = m_layers.rbegin(); entry != m_layers.rend(); ++entry)
        layers.emplace_back(entry->first, entry->second.get());
    bool hit = false;
    for (const auto& [depth, layer] : layers) {
        if (FindLayer(depth) != layer)
            continue;
        if (mouse.advance && !mouse.clicked)
            layer->Advance();
        // Only x is taken away: that is enough to miss every rectangle, and the click still reaches the animators.
        if (layer->TestMouse(mouse.x, mouse.y, mouse.clicked)) {
            hit = true;
            mouse.x = kUnset;
        }
    }
    return hit;
}

Layer* Scene::FindLayer(std::int32_t layer) const
{
    const auto found = m_layers.find(layer);
    return found != m_layers.end() ? found->second.get() : nullptr;
}

Layer& Scene::GetOrCreateLayer(std::int32_t depth)
{
    std::unique_ptr<Layer>& layer = m_layers[depth];
    if (!layer)
        layer = std::make_unique<Layer>(depth);
    return *layer;
}

void Scene::Retire(std::unique_ptr<SceneNode> node)
{
    if (!node)
        return;
    ++m_retiredCount;
    for (const auto& [depth, layer] : m_layers)
        layer->Remove(node.get());
    node->DetachReferrers();
    // A node retired while its own update runs must not report finished animators into the new state.
    node->ClearAnimators();
    if (m_updating > 0)
        m_retiredNodes.push_back(std::move(node));
}

void Scene::RetireLayers()
{
    for (auto& [depth, layer] : m_layers) {
        // Emptied at once: a layer whose mouse test is under way stops there.
        layer->Clear();
        if (m_updating > 0)
            m_retiredLayers.push_back(std::move(layer));
    }
    m_layers.clear();
}

void Scene::FreeRetired()
{
    m_retiredNodes.clear();
    m_retiredLayers.clear();
}

void Scene::Save(Serializer& serializer) const
{
    serializer.WriteInt(m_position);
    // Nodes created since the last update are saved as already placed, and removed ones are left out, so that a
    // game saved while a menu stops the scene loads as the player would have seen it.
    std::map<std::u16string, SceneNode*> nodes;
    for (const auto& [name, node] : m_nodes) {
        if (!m_pendingRemovals.contains(name))
            nodes[name] = node.get();
    }
    std::map<std::int32_t, std::vector<SceneNode*>> layers;
    for (const auto& [depth, layer] : m_layers)
        layers[depth] = layer->GetNodes();
    for (const auto& [name, node] : m_pendingAdditions) {
        nodes[name] = node.get();
        layers[node->GetLayer()].push_back(node.get());
    }
    serializer.WriteInt(static_cast<std::int32_t>(nodes.size()));
    for (const auto& [name, node] : nodes)
        node->Save(serializer);
    serializer.WriteInt(static_cast<std::int32_t>(layers.size()));
    for (const auto& [depth, list] : layers)
        Layer::SaveRecord(serializer, depth, list);
    m_groups.Save(serializer);
}

bool Scene::Load(Serializer& serializer)
{
    if (LoadContent(serializer))
        return true;
    Reset();
    return false;
}

bool Scene::LoadContent(Serializer& serializer)
{
    std::int32_t position = -1;
    std::int32_t nodes = -1;
    serializer.ReadInt(position);
    serializer.ReadInt(nodes);
    if (serializer.Failed() || position < 0 || nodes < 0)
        return false;
    m_position = position;
    for (std::int32_t i = 0; i < nodes; ++i) {
        auto node = std::make_unique<SceneNode>();
        if (!node->Load(serializer))
            return false;
        std::unique_ptr<SceneNode>& slot = m_nodes[node->GetName()];
        Retire(std::move(slot));
        slot = std::move(node);
    }
    std::int32_t layers = -1;
    serializer.ReadInt(layers);
    if (serializer.Failed() || layers < 0)
        return false;
    for (std::int32_t i = 0; i < layers; ++i) {
        auto layer = std::make_unique<Layer>();
        if (!layer->Load(serializer, *this))
            return false;
        m_layers[layer->GetDepth()] = std::move(layer);
    }
    return m_groups.Load(serializer);
}

void Scene::Start()
{
    m_running = true;
    if (m_position < 0)
        m_position = 0;
    if (m_position < static_cast<std::int32_t>(m_commands.size()))
        RunCurrent();
    else
        Finish();
}

void Scene::OnCommandFinished()
{
    if (!m_running)
        return;
    ++m_position;
    if (m_position >= 0 && m_position < static_cast<std::int32_t>(m_commands.size()))
        RunCurrent();
    else
        Finish();
}

void Scene::SetCommands(std::vector<Command*> commands)
{
    m_commands = std::move(commands);
    m_position = -1;
    m_running = true;
    ++m_run;
}

std::vector<std::unique_ptr<Command>> Scene::TakeCommands()
{
    m_commands.clear();
    ++m_run;
    return std::exchange(m_ownedCommands, {});
}

void Scene::RunCurrent()
{
    Command* command = m_commands[static_cast<std::size_t>(m_position)];
    // Each start gets its own report: a command that reports twice, or after the list moved on, is not heard.
    const std::uint64_t run = ++m_run;
    command->SetCompletion(Callback<void()>([this, run] { OnReport(run); }));
    if (Trace::IsOpen()) {
        Trace::Write("command",
                     m_name + u' ' + TextCodec::Widen(std::to_string(m_position)) + u' ' + command->GetDescription());
    }
    // Nearly every command changes what the screen shows; those that do not are too few to tell apart.
    FrameActivity::Changed();
    if (StoryCoverage::IsEnabled())
        StoryCoverage::Ran(command->GetStatement());
    command->Execute(*this);
}

void Scene::OnReport(std::uint64_t run)
{
    if (run == m_run)
        OnCommandFinished();
}

void Scene::Finish()
{
    // A copy: the callback may hand the scene a new one.
    const Callback<void()> finished = m_finished;
    finished();
}

} // namespace Vel
