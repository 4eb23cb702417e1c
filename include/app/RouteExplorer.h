#pragma once

// Plays every route of a started game for its author (velloria explore). The story runs with a fixed frame time in a
// skip that goes through everything: read and unread texts, pauses, delays and animators end at once. Where the story
// offers a choice, or a menu waits over it, the state a save holds is copied in memory; each entry, and each button
// whose action stays in the story (a command, "game", "back", "cancel"), is a branch that starts from that copy. A
// state already explored (scene, position, triggers, shown interfaces, playlist, menu) is not explored again, so
// loops end. A branch ends when the story runs "end" or opens the main menu again (an ending), shows a script error,
// or stands still with nothing that could go on (a dead end). The engine owns the explorer after start-up and calls
// Run once. Only the first frame of each scene (once) and one at each stop are drawn, for the pictures to be looked
// for; the sound is mixed into nothing.

#include "app/ExploreResult.h"
#include "core/Callback.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

namespace Vel {

class Action;
class Scene;
struct GameSystems;

struct ExploreLimits
{
    std::size_t maxStates = 10000; // distinct states at choices and menus
    double seconds = 60.0;         // wall time
};

class RouteExplorer
{
public:
    // The story's frame time: one skipped text in two frames.
    static constexpr float kFrameSeconds = 0.05f;
    // Frames without any change after which the story counts as standing still: well past the frames a skipped
    // text takes.
    static constexpr int kStillFrames = 100;

    // The systems must outlive the explorer; render draws one frame; logFile is the engine's log, read from
    // logOffset on for the pictures, sounds and fonts it names.
    RouteExplorer(GameSystems& systems, ExploreLimits limits, Callback<void()> render, std::string logFile,
                  std::uintmax_t logOffset);

    [[nodiscard]] ExploreResult Run();

private:
    enum class Stop
    {
        Choice,
        Menu,
        MainMenu,
        Ended,
        Error,
        Still, // nothing changed for kStillFrames
        Cycle, // the story came back to where a scene started, unchanged, without a choice
        Cut,
        None, // nothing stops the story yet
    };
    struct Branch
    {
        std::string state; // empty: the run from the start
        // Persistent triggers, which a save leaves as they are, as they stood at the fork.
        std::vector<std::pair<std::u16string, std::u16string>> persistent;
        Route route;
        std::vector<std::u16string> forks; // the keys of the forks the route passed
        std::size_t option = 0;
        std::u16string label; // the option's text when it forked: a replay that finds another one went wrong
    };
    struct Option
    {
        std::u16string label;
        std::shared_ptr<Action> action; // null: an entry of the choice
        std::size_t entry = 0;
    };

    void Prepare();
    [[nodiscard]] std::vector<std::pair<std::u16string, std::u16string>> PersistentValues() const;
    void Follow(Branch branch);
    [[nodiscard]] bool Replay(Branch& branch);
    [[nodiscard]] Stop RunUntilStop();
    [[nodiscard]] Stop StopNow();
    void Step();
    [[nodiscard]] bool OutOfTime();
    void Fork(const Branch& branch);
    [[nodiscard]] std::vector<Option> Options() const;
    [[nodiscard]] static bool StaysInStory(const Action& action);
    void Take(const Option& option, Branch& branch);
    void StandStill(const Branch& branch);
    void End(const Branch& branch, RouteEnding::Kind kind);
    [[nodiscard]] bool IsMainMenuOpen() const;
    [[nodiscard]] bool NodeWaitsForClick() const;
    [[nodiscard]] std::u16string StateKey() const;
    [[nodiscard]] StoryPlace Place() const;
    void CollectLog(const Route& route);

    GameSystems& m_systems;
    ExploreLimits m_limits;
    Callback<void()> m_render;
    std::string m_logFile;
    std::uintmax_t m_logOffset = 0;
    std::chrono::steady_clock::time_point m_started;
    std::unordered_set<const Scene*> m_drawnScenes; // those whose first frame was drawn
    std::vector<Branch> m_pending;                  // depth first: the last pushed runs next
    std::unordered_set<std::u16string> m_explored;
    std::unordered_set<std::u16string> m_loopsSeen;
    std::unordered_set<std::u16string> m_stillSeen; // the states the story stood still in
    std::vector<std::pair<std::u16string, std::u16string>> m_persistentAtStart;
    ExploreResult m_result;
};

} // namespace Vel
