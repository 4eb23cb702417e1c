#pragma once

// One unit of the story or of the interface: named scene nodes drawn in numbered layers, and a list of commands.
// The ScenesManager owns the scenes, starts the current one (Start) and calls Update and Render once per frame for
// it and for every interface scene shown over it; menus own a scene each for their nodes and command lists.
//
// Node changes are deferred: CreateNode puts the node among the pending additions and RemoveNode among the
// pending removals, and both take effect at the start of the next Update. A new node is therefore updated, drawn
// and hit from the next Update on; a removed one stops being drawn and hit at once, is still updated until the
// next Update and is deleted there. Whatever a node's click action or a command does to the scene while Update
// runs (even Reset), the nodes and layers it drops are freed only when Update returns.
//
// The command list runs event-driven: Start executes the command at the current position, whose report
// (OnCommandFinished) starts the next one, so a run of commands that report at once executes within one call.
// When the list runs out while the scene is running, the finished callback is invoked (the ScenesManager starts
// the next scene there).

#include "core/Callback.h"
#include "core/DisplaySettings.h"
#include "scene/CommandContainer.h"
#include "scene/GroupManager.h"
#include "scene/PlayerActions.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Vel {

class Command;
class Layer;
class SceneNode;
class Serializer;

class Scene : public CommandContainer
{
public:
    // The mouse as the scene's objects see it in one frame, in game coordinates.
    struct Mouse
    {
        float x = kUnset; // kUnset: nowhere
        float y = kUnset;
        bool clicked = false; // a left click accepted by the click gate
        bool advance = false; // an advance from the keyboard or the wheel: the animators see it as a click
    };
    // Whether the scene may see the mouse this frame; something over it (a text box, an interface) may have taken it.
    enum class MouseAccess
    {
        Open,
        Blocked,
        None, // neither the mouse nor a click: the player hid the text boxes to look at the picture
    };

    // The scene's hidden carrier of pause and delay animators.
    static constexpr std::u16string_view kDummyNodeName = u"sys_dummy_obj";

    Scene();
    virtual ~Scene();
    Scene(const Scene&) = delete;
    Scene& operator=(const Scene&) = delete;

    // Appends to the command list; the scene owns the command.
    void AddCommand(std::unique_ptr<Command> command) override;
    // Gives back the room the command lists grew into; commands may still be added after it.
    void TrimCommands();

    // nullptr when the name is taken (a live node not pending removal, or a pending addition). group empty: the
    // group is derived from the name.
    SceneNode* CreateNode(const std::u16string& name, std::int32_t layer, const std::u16string& group);
    // A live node not pending removal, else a pending addition, else nullptr.
    [[nodiscard]] SceneNode* FindNode(const std::u16string& name) const;
    // Takes a live node out of every layer at once, clears other objects' targets that point at it and deletes it
    // at the next Update. Names found only among the pending additions are not removed.
    void RemoveNode(const std::u16string& name);
    // Creates the hidden node when it is missing.
    SceneNode* GetDummyNode();
    void RemoveGroup(const std::u16string& group);
    // Empties the layer's draw list; its nodes stay (updated, neither drawn nor hit).
    void ClearLayer(std::int32_t layer);
    // Removes every live node and deletes every layer.
    void ClearAll();
    // Back to the state before the first run: position 0, no nodes, layers or groups, and the commands' running
    // reports forgotten. The commands, the next scene and the finished callback stay.
    void Reset();

    // Reads the mouse and the left click gate from the 2D library (nowhere while blocked or without it), then
    // updates; an advance acts while the left gate is still open. Returns whether a node took the mouse.
    bool Update(float dt, MouseAccess access, Advancing advancing = Advancing::No);
    // Whether a node of the scene would run an action for a click at the point (game coordinates).
    [[nodiscard]] bool ActsAt(float x, float y) const;
    // dt in seconds. Applies pending removals and additions, updates every node in name order, then hit-tests the
    // layers from the highest number down; after a hit, lower layers see the mouse nowhere.
    bool Update(float dt, const Mouse& mouse);
    // The pending removals and additions take effect now, as at the start of Update; for a scene that stands still
    // (behind a menu) while its last commands' pictures must show.
    void ApplyPendingChanges();
    // The layers in ascending number.
    void Render();

    // Position, nodes, layers and groups as the next Update will have them; commands, animators and actions are
    // not saved.
    void Save(Serializer& serializer) const;
    // Into a scene that was just reset. On damaged data returns false and leaves the scene reset.
    [[nodiscard]] bool Load(Serializer& serializer);

    // The name the scene was created under; the trace names it with every command it starts.
    void SetName(std::u16string name) { m_name = std::move(name); }
    [[nodiscard]] const std::u16string& GetName() const { return m_name; }
    void SetNextScene(std::u16string name) { m_nextScene = std::move(name); }
    [[nodiscard]] const std::u16string& GetNextScene() const { return m_nextScene; }

    // Sets running and executes the command at the position, or invokes the finished callback past the end.
    void Start();
    // The report of the running command: advances and runs the next one, or invokes the finished callback at the
    // end. Ignored while the scene is not running.
    void OnCommandFinished();
    // The list being run (the scene keeps ownership of its own commands).
    [[nodiscard]] std::vector<Command*> GetCommands() const { return m_commands; }
    // Runs a borrowed list: position -1 and running, so the caller's OnCommandFinished starts element 0. The
    // scene's own commands stay owned by it but are no longer run.
    void SetCommands(std::vector<Command*> commands);
    // Hands over the commands added so far and empties the list (menus split their blocks this way).
    [[nodiscard]] std::vector<std::unique_ptr<Command>> TakeCommands();
    void SetFinishedCallback(Callback<void()> callback) { m_finished = std::move(callback); }
    // Another scene has taken over: reports of this scene's commands no longer advance it.
    void Stop() { m_running = false; }
    [[nodiscard]] bool IsRunning() const { return m_running; }
    [[nodiscard]] std::int32_t GetPosition() const { return m_position; }

    [[nodiscard]] const std::map<std::u16string, std::unique_ptr<SceneNode>>& GetNodes() const { return m_nodes; }
    // nullptr when no layer has the number.
    [[nodiscard]] Layer* FindLayer(std::int32_t layer) const;
    [[nodiscard]] const std::map<std::int32_t, std::unique_ptr<Layer>>& GetLayers() const { return m_layers; }
    [[nodiscard]] const GroupManager& GetGroupManager() const { return m_groups; }

private:
    void ApplyPendingRemovals();
    void ApplyPendingAdditions();
    void UpdateNodes(float dt);
    bool TestLayers(Mouse mouse);
    Layer& GetOrCreateLayer(std::int32_t depth);
    // Takes the node out of every layer and out of reach of other objects' targets, and deletes it (during
    // Update: when Update returns).
    void Retire(std::unique_ptr<SceneNode> node);
    void RetireLayers();
    void FreeRetired();
    // Deletes every node and layer and empties the groups.
    void ClearStage();
    [[nodiscard]] bool LoadContent(Serializer& serializer);
    void RunCurrent();
    void OnReport(std::uint64_t run);
    void Finish();

    std::map<std::u16string, std::unique_ptr<SceneNode>> m_nodes;
    std::map<std::u16string, std::unique_ptr<SceneNode>> m_pendingAdditions;
    std::map<std::u16string, SceneNode*> m_pendingRemovals; // the same objects as in m_nodes
    std::map<std::int32_t, std::unique_ptr<Layer>> m_layers;
    GroupManager m_groups;
    std::u16string m_nextScene;

    std::vector<std::unique_ptr<Command>> m_ownedCommands; // declared after m_groups: freed before it
    std::vector<Command*> m_commands;                      // the list being run
    std::int32_t m_position = 0;
    bool m_running = false;
    std::uint64_t m_run = 0; // changes whenever a command starts or the list is reset, to drop stale reports
    Callback<void()> m_finished;

    std::u16string m_name;
    int m_updating = 0;
    std::uint64_t m_retiredCount = 0;      // nodes ever retired: tells UpdateNodes that its list went stale
    std::vector<SceneNode*> m_updateOrder; // UpdateNodes' list of the frame, kept for its capacity
    std::vector<std::unique_ptr<SceneNode>> m_retiredNodes;
    std::vector<std::unique_ptr<Layer>> m_retiredLayers;
};

} // namespace Vel
