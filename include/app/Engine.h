#pragma once

// The program's spine: brings the engine up in a fixed order, hands control to the frame loop, and saves and tears
// everything down afterwards. Also the author tools that share its start-up: checking and compiling scripts.
//
// Start-up order: compile the scripts, create the per-user folders, publish the file interface, create the 2D
// library and register the frame callbacks, mount the archives, create the game's managers (GameSystems), parse
// "system.vls", open the window, create the render target, register the interface functions, parse "script.vls",
// load the persistent trigger values and the sound settings, tell "_cancontinue" whether there is a save, hand the
// sound manager the default playlist, start the first scene, run the frame loop. After a normal end of the loop an
// auto save is written while the story is current. Shut-down frees the render target, writes the persistent values
// and the sound settings while the managers that hold them still exist, destroys the managers (in the order
// GameSystems keeps), the script reader, the 2D library and the file interface, and closes the trace.
//
// An author's run (--dev, or a start at a named scene) also watches the game folder: saved scripts, pictures and
// sounds, or Shift+R, replace the managers and the script reader with fresh ones that read everything again, keeping
// the window, the triggers, the volumes and the scene, which starts again.

#include "core/VelSingleton.h"
#include "app/EngineOptions.h"
#include "platform/Hge.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Vel {

class CheckReport;
struct CompileResult;
enum class CompileMode;
struct GameNames;
struct GameSystems;
class FolderWatcher;
class HgeManager;
class PakInterface;
class PlayerActions;
class ParseManager;
class ScriptLinter;
class ScreenPresenter;

class Engine : public Singleton<Engine>
{
public:
    explicit Engine(const EngineOptions& options);
    ~Engine();

    // Runs the game; the process exit status (0 after a normal end, non-zero when the game cannot start).
    int Run();
    // Compiles and reads the scripts without a window and reports the script error and the warnings (CheckReport):
    // 1 when there is a script error, or warnings under --strict; 0 otherwise.
    int Check();
    // Compiles the scripts of the game folder.
    int Compile();
    // Reads the scripts as Check does and writes their texts as the translation template "lang/messages.pot": 1
    // when there is a script error or the file cannot be written; 0 otherwise.
    int Translate();
    // Plays every route headless from a scratch user folder (RouteExplorer) and prints the report (and writes it
    // as JSON when asked): 0 when no dead end, script error or missing file was met, 1 otherwise, 2 for a start
    // scene that is no story scene.
    int Explore();

    // Writes the current screen into the next numbered file of the screenshot folder.
    void TakeScreenshot();

private:
    static bool FrameFunc();
    static bool RenderFunc();
    bool Frame();
    void WriteDrawnCount();
    void Render();

    [[nodiscard]] bool EnterGameFolder();
    enum class AuthorTask
    {
        Check,
        Translate,
    };
    [[nodiscard]] bool ReadForAuthor(AuthorTask task, CheckReport& report);
    CompileResult CompileForAuthor(CompileMode mode, CheckReport& report);
    [[nodiscard]] std::string ChooseLogFile() const;
    void ApplyCodePage();
    void Fail(const std::string& message);
    enum class StartOutcome
    {
        Started,
        Failed,     // the game cannot start; the reason is on stderr and in the log
        WrongScene, // the command line names no story scene
    };
    [[nodiscard]] StartOutcome StartGameSystems();
    [[nodiscard]] bool IsStartSceneKnown() const;
    void SetCommandLineTriggers();
    void LoadPersistentState();
    void ConnectScenes();
    void MakeGameSystems();
    void FollowAuthor(float dt, PlayerActions& actions);
    void FollowGameFolder(float dt);
    [[nodiscard]] static bool IsGameFile(const std::string& path);
    void ReloadGame();
    void ReadScriptsAgain();
    void IgnoreScriptError();
    void RestoreStoredTriggers();
    void StartPlatform(const std::vector<std::string>& compileWarnings);
    void LoadPlayerSettings();
    void AutoSaveAtEnd();
    // --coverage: the story coverage file, written at the end; false when it could not be.
    [[nodiscard]] bool WriteCoverage() const;
    // explore: the routes played once the game has started; the exit status.
    [[nodiscard]] int ReportRoutes(std::uintmax_t logOffset);
    [[nodiscard]] bool OpenDisplay();
    void AttachGalleries(const GameNames& names);
    [[nodiscard]] bool ParseSystemScript();
    [[nodiscard]] bool HasSystemScript() const;
    void OnScriptError(const std::u16string& report);
    void Shutdown();

    EngineOptions m_options;
    std::string m_logFile;
    std::map<std::u16string, std::u16string> m_readFromSource; // scripts whose compiled twin could not be written
    std::unique_ptr<PakInterface> m_pakInterface;
    std::unique_ptr<HgeManager> m_hgeManager;
    std::unique_ptr<ScriptLinter> m_linter; // the script check's only; declared first, as the parser borrows it
    std::unique_ptr<ParseManager> m_parseManager;
    std::unique_ptr<GameSystems> m_systems;
    // Set once the persistent values and sound settings were read: only then are they written back, so a run that
    // never got its window leaves "sys0.dfn" and "sys1.dfn" as they were.
    bool m_persistentValuesLoaded = false;
    // An author's run (--dev): the game folder watched, the scene a reload starts again.
    static constexpr double kSettleSeconds = 0.2; // writes closer together than this are one save
    static constexpr double kWatchSeconds = 0.25;
    std::unique_ptr<FolderWatcher> m_watcher;
    double m_reloadIn = -1.0; // seconds until the reload that written files asked for; negative: none asked
    std::u16string m_resumeScene;
    std::map<std::u16string, std::u16string> m_storedBeforeSet; // persistent triggers --set changed: stored values
    HTARGET m_target = 0;
    std::unique_ptr<ScreenPresenter> m_presenter; // the screen and bar sprites, made after the render target
    int m_frame = 0;
    int m_drawnFrames = 0;       // frames the render callback drew; the others changed nothing on the screen
    std::size_t m_nextProbe = 0; // the first replayed event not yet looked at for a "drawn" probe
};

} // namespace Vel
