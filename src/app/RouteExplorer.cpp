#include "app/RouteExplorer.h"

#include "app/GameSystems.h"
#include "core/DisplaySettings.h"
#include "core/TextCodec.h"
#include "dialogue/Selection.h"
#include "dialogue/Textbox.h"
#include "menus/Menu.h"
#include "menus/MenuSwitch.h"
#include "scene/Command.h"
#include "scene/RunCommandAction.h"
#include "scene/RunFunctionAction.h"
#include "scene/SceneNode.h"
#include "scene/StatementSource.h"
#include "scene/StoryCoverage.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <tuple>

namespace Vel {

namespace {

// The loaders' lines about a picture, sound or font they could not use.
constexpr std::string_view kMissingFileLines[] = {"Picture '", "Sound '", "Font ", "Fallback font "};

std::string FirstLines(const std::u16string& report)
{
    // The report's heading, file, line and message; an author's hint below them is left out.
    std::string text = TextCodec::WideToUtf8(report);
    std::size_t end = 0;
    for (int line = 0; line < 4 && end != std::string::npos; ++line)
        end = text.find('\n', end == 0 ? 0 : end + 1);
    if (end != std::string::npos)
        text.resize(end);
    std::replace(text.begin(), text.end(), '\n', ' ');
    return text;
}

} // namespace

RouteExplorer::RouteExplorer(GameSystems& systems, ExploreLimits limits, Callback<void()> render, std::string logFile,
                             std::uintmax_t logOffset)
    : m_systems(systems), m_limits(limits), m_render(std::move(render)), m_logFile(std::move(logFile)),
      m_logOffset(logOffset)
{
}

ExploreResult RouteExplorer::Run()
{
    m_started = std::chrono::steady_clock::now();
    Prepare();
    Follow(Branch{});
    while (!m_pending.empty() && m_result.cut.empty()) {
        Branch branch = std::move(m_pending.back());
        m_pending.pop_back();
        if (Replay(branch))
            Follow(std::move(branch));
    }
    m_result.states = m_explored.size();
    return std::move(m_result);
}

// Skip goes through unread text; no auto save is written at the choices.
void RouteExplorer::Prepare()
{
    if (!m_systems.settings.Get().skipUnread)
        m_systems.settings.ToggleSkipUnread();
    if (m_systems.settings.Get().autoSave)
        m_systems.settings.ToggleAutoSave();
    m_persistentAtStart = PersistentValues();
}

std::vector<std::pair<std::u16string, std::u16string>> RouteExplorer::PersistentValues() const
{
    std::vector<std::pair<std::u16string, std::u16string>> values;
    for (const auto& [name, trigger] : m_systems.triggers.Triggers()) {
        if (trigger.IsPersistent())
            values.emplace_back(name, trigger.value);
    }
    return values;
}

// The story from where the branch stands to its next stop, which ends the branch or forks it.
void RouteExplorer::Follow(Branch branch)
{
    const Stop stop = RunUntilStop();
    // The error screen's own font is the engine's business, not a file of the game.
    if (m_render && stop != Stop::Error)
        m_render();
    CollectLog(branch.route);
    switch (stop) {
    case Stop::MainMenu:
        if (!branch.route.empty()) {
            End(branch, RouteEnding::Kind::MainMenu);
            return;
        }
        [[fallthrough]];
    case Stop::Choice:
    case Stop::Menu:
        Fork(branch);
        return;
    case Stop::Ended:
        End(branch, RouteEnding::Kind::End);
        return;
    case Stop::Error:
        m_result.errors.push_back({FirstLines(m_systems.scenes.GetErrorText()), branch.route});
        m_result.deadEnds.push_back({Place(), branch.route, "a script error stops the story"});
        return;
    case Stop::Still:
        StandStill(branch);
        return;
    case Stop::Cycle:
        if (m_stillSeen.insert(StateKey()).second)
            m_result.deadEnds.push_back({Place(), branch.route, "the story goes round for ever without a choice"});
        return;
    case Stop::Cut:
    case Stop::None:
        return;
    }
}

// The state copied at the fork comes back, the choice or menu shows again, and the branch's option is taken.
bool RouteExplorer::Replay(Branch& branch)
{
    ScenesManager& scenes = m_systems.scenes;
    if (scenes.IsErrorShown())
        scenes.DismissError();
    scenes.KeepRunning();
    PlayModes::Get().Reset();
    // Each route plays as a player's first would from the fork: what another route remembered is undone first.
    for (const auto& [name, value] : branch.persistent)
        m_systems.triggers.Set(name, value);
    std::string error;
    if (!m_systems.saves.RestoreState(branch.state, error)) {
        m_result.errors.push_back({"the state before the choice did not come back: " + error, branch.route});
        return false;
    }
    const Stop stop = RunUntilStop();
    if (stop == Stop::Cut)
        return false;
    const std::vector<Option> options = Options();
    const bool shown = stop == Stop::Choice || stop == Stop::Menu || stop == Stop::MainMenu;
    if (!shown || branch.option >= options.size() || options[branch.option].label != branch.label) {
        // A menu opened from another menu, for one: the copied state holds the story, not the menus over it.
        m_result.errors.push_back(
            {"the choice of \"" + TextCodec::WideToUtf8(branch.label) + "\" did not show again from its copied state",
             branch.route});
        return false;
    }
    Take(options[branch.option], branch);
    return true;
}

RouteExplorer::Stop RouteExplorer::RunUntilStop()
{
    const auto where = [this] {
        const Scene* scene = m_systems.scenes.GetCurrentScene();
        return std::make_tuple(scene, scene != nullptr ? scene->GetPosition() : -1, StoryCoverage::CommandsStarted());
    };
    // The states in which the story stood after a scene started since the last stop: one met twice goes round for
    // ever, as nothing but a choice could make the next time different.
    std::unordered_set<std::u16string> starts;
    std::uint64_t lastStarts = StoryCoverage::ScenesStarted();
    int still = 0;
    auto last = where();
    for (;;) {
        if (const Stop stop = StopNow(); stop != Stop::None)
            return stop;
        Step();
        if (StoryCoverage::ScenesStarted() != lastStarts) {
            lastStarts = StoryCoverage::ScenesStarted();
            if (!starts.insert(StateKey()).second)
                return Stop::Cycle;
        }
        auto now = where();
        still = now == last ? still + 1 : 0;
        last = now;
        if (still >= kStillFrames)
            return Stop::Still;
    }
}

RouteExplorer::Stop RouteExplorer::StopNow()
{
    if (m_systems.scenes.IsErrorShown())
        return Stop::Error;
    if (!m_systems.scenes.IsRunning())
        return Stop::Ended;
    if (m_systems.menus.OpenCount() > 0)
        return IsMainMenuOpen() ? Stop::MainMenu : Stop::Menu;
    if (m_systems.dialogue.IsChoosing())
        return Stop::Choice;
    if (OutOfTime())
        return Stop::Cut;
    return Stop::None;
}

void RouteExplorer::Step()
{
    PlayModes& modes = PlayModes::Get();
    // A choice or a menu stops the skip; the story after it skips again.
    if (!modes.IsSkipping())
        modes.ToggleSkip();
    m_systems.scenes.Update(kFrameSeconds);
    m_systems.sound.Update(kFrameSeconds);
    // Pictures are looked for when they are drawn: the first frame of each scene shows what it sets up, and once
    // is enough, as the log names a missing file once.
    if (m_render && m_drawnScenes.insert(m_systems.scenes.GetCurrentScene()).second)
        m_render();
}

bool RouteExplorer::OutOfTime()
{
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - m_started;
    if (spent.count() < m_limits.seconds)
        return false;
    std::ostringstream limit;
    limit << "--seconds " << m_limits.seconds;
    m_result.cut = limit.str();
    return true;
}

// A new state forks into one branch per option; a state explored before ends the branch, and one its own route
// passed is a loop, reported once.
void RouteExplorer::Fork(const Branch& branch)
{
    std::u16string key = StateKey();
    if (m_explored.contains(key)) {
        const bool loop = std::find(branch.forks.begin(), branch.forks.end(), key) != branch.forks.end();
        if (loop && m_loopsSeen.insert(key).second)
            m_result.loops.push_back({Place(), branch.route, "the choice or menu comes back unchanged"});
        if (!loop)
            ++m_result.merged;
        return;
    }
    if (m_explored.size() >= m_limits.maxStates) {
        m_result.cut = "--max-states " + std::to_string(m_limits.maxStates);
        return;
    }
    m_explored.insert(key);
    const std::vector<Option> options = Options();
    const std::size_t count = options.size();
    if (count == 0) {
        m_result.deadEnds.push_back({Place(), branch.route, "a choice or menu without an entry to follow"});
        return;
    }
    const std::string state = m_systems.saves.CopyState();
    const auto persistent = PersistentValues();
    // Pushed last first, so that the first option is explored first.
    for (std::size_t option = count; option-- > 0;) {
        Branch next{state, persistent, branch.route, branch.forks, option, options[option].label};
        next.forks.push_back(key);
        m_pending.push_back(std::move(next));
    }
}

// The entries of the shown choice, or the buttons of the open menu whose action stays in the story.
std::vector<RouteExplorer::Option> RouteExplorer::Options() const
{
    std::vector<Option> options;
    if (m_systems.menus.OpenCount() > 0) {
        const Menu* menu = m_systems.menus.GetStack().back();
        for (auto& [label, action] : menu->GetButtonActions()) {
            if (StaysInStory(*action))
                options.push_back({label, action, 0});
        }
        return options;
    }
    const Selection* selection = m_systems.dialogue.GetSelection();
    for (const std::size_t entry : m_systems.dialogue.ChoosableEntries())
        options.push_back({selection->GetChoices()[entry]->GetSourceText(), nullptr, entry});
    return options;
}

// A command stays in the story; of the interface functions only those that close menus over it do.
bool RouteExplorer::StaysInStory(const Action& action)
{
    if (dynamic_cast<const RunCommandAction*>(&action) != nullptr)
        return true;
    const auto* function = dynamic_cast<const RunFunctionAction*>(&action);
    if (function == nullptr)
        return false;
    const std::u16string& name = function->GetName();
    return name == u"game" || name == u"back" || name == u"cancel";
}

void RouteExplorer::Take(const Option& option, Branch& branch)
{
    branch.route.push_back(option.label);
    // Held for the run, as a click holds it: the action may replace the button's own.
    if (option.action)
        option.action->Run();
    else
        m_systems.dialogue.Choose(option.entry);
}

// The story stands still: a node it waits on a click for can still go on; else nothing ever will.
void RouteExplorer::StandStill(const Branch& branch)
{
    // Routes that rejoined before it meet the same dead end: it is reported once.
    if (!m_stillSeen.insert(StateKey()).second) {
        ++m_result.merged;
        return;
    }
    if (NodeWaitsForClick()) {
        m_result.nodeWaits.push_back({Place(), branch.route, {}});
        return;
    }
    const Scene* scene = m_systems.scenes.GetCurrentScene();
    const bool pastEnd =
        scene != nullptr && static_cast<std::size_t>(scene->GetPosition()) >= scene->GetCommands().size();
    std::string reason = "the story waits and nothing can go on";
    if (pastEnd)
        reason = "the scene ended without a next scene";
    else if (m_systems.scenes.GetCurrentName() != (scene != nullptr ? scene->GetName() : std::u16string()))
        reason = "the scene \"" + TextCodec::WideToUtf8(m_systems.scenes.GetCurrentName()) + "\" does not exist";
    m_result.deadEnds.push_back({Place(), branch.route, reason});
}

void RouteExplorer::End(const Branch& branch, RouteEnding::Kind kind)
{
    // "end" lets the frame finish, in which the story may already have gone on: only the main menu has a place.
    RouteEnding ending{kind, kind == RouteEnding::Kind::MainMenu ? Place() : StoryPlace(), branch.route, {}};
    for (const auto& [name, value] : m_persistentAtStart) {
        const std::u16string now = m_systems.triggers.Get(name);
        if (now != value)
            ending.persistent.emplace_back(name, now);
    }
    m_result.endings.push_back(std::move(ending));
}

bool RouteExplorer::IsMainMenuOpen() const
{
    const std::u16string& name = TheGameNames().mainMenuName;
    if (name.empty())
        return false;
    const MenuSwitch* menuSwitch = m_systems.menus.FindSwitch(name);
    return m_systems.menus.CurrentMenuName() == (menuSwitch != nullptr ? menuSwitch->GetMenuName() : name);
}

bool RouteExplorer::NodeWaitsForClick() const
{
    const Scene* scene = m_systems.scenes.GetCurrentScene();
    if (scene == nullptr)
        return false;
    return std::any_of(scene->GetNodes().begin(), scene->GetNodes().end(), [](const auto& entry) {
        const std::shared_ptr<Action>& action = entry.second->GetAction();
        return action != nullptr && StaysInStory(*action);
    });
}

// What decides how the story goes on from a choice or menu; the history and the stage do not.
std::u16string RouteExplorer::StateKey() const
{
    const Scene* scene = m_systems.scenes.GetCurrentScene();
    std::u16string key = scene != nullptr ? scene->GetName() : std::u16string();
    key += u'\n' + TextCodec::Widen(std::to_string(scene != nullptr ? scene->GetPosition() : -1));
    key += u'\n' + m_systems.menus.CurrentMenuName();
    for (const auto& [name, trigger] : m_systems.triggers.Triggers()) {
        if (!IsEngineTriggerName(name) && !trigger.value.empty())
            key += u'\n' + name + u'=' + trigger.value;
    }
    for (const std::u16string& name : m_systems.scenes.GetShownInterfaces())
        key += u"\ninterface " + name;
    return key + u"\nplaylist " + m_systems.sound.GetCurrentPlaylistName();
}

// The statement of the command the current scene stands at; past its end, its last one.
StoryPlace RouteExplorer::Place() const
{
    StoryPlace place;
    const Scene* scene = m_systems.scenes.GetCurrentScene();
    if (scene == nullptr)
        return place;
    place.scene = scene->GetName();
    const std::vector<Command*> commands = scene->GetCommands();
    if (commands.empty())
        return place;
    const auto index =
        std::min<std::size_t>(static_cast<std::size_t>(std::max(scene->GetPosition(), 0)), commands.size() - 1);
    const std::uint32_t statement = commands[index]->GetStatement();
    if (statement == StatementSource::kNone)
        return place;
    const StatementSource::Place& source = StatementSource::GetPlace(statement);
    place.file = StatementSource::Files()[source.file];
    place.line = source.line;
    return place;
}

// The loaders log each file they cannot use once; what the log gained since the last stop was met on this route.
void RouteExplorer::CollectLog(const Route& route)
{
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(m_logFile, error);
    if (error || size <= m_logOffset)
        return;
    std::ifstream log(m_logFile, std::ios::binary);
    log.seekg(static_cast<std::streamoff>(m_logOffset));
    for (std::string line; std::getline(log, line);) {
        const bool missing = std::any_of(std::begin(kMissingFileLines), std::end(kMissingFileLines),
                                         [&](std::string_view start) { return line.starts_with(start); });
        if (missing)
            m_result.missing.push_back({line, route});
    }
    m_logOffset = size;
}

} // namespace Vel
