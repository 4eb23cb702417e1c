#include "app/Engine.h"

#include "app/CheckReport.h"
#include "app/CoverageReport.h"
#include "app/ExploreReport.h"
#include "app/GameSystems.h"
#include "app/RouteExplorer.h"
#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/TextFile.h"
#include "core/Trace.h"
#include "core/UserFiles.h"
#include "data/CompileScripts.h"
#include "data/PakInterface.h"
#include "platform/FolderWatcher.h"
#include "platform/FrameActivity.h"
#include "platform/InputScript.h"
#include "resources/ScreenPresenter.h"
#include "saves/Gallery.h"
#include "scene/PlayerActions.h"
#include "scene/StoryCoverage.h"
#include "script/ParseManager.h"
#include "script/ScriptLinter.h"

#include <Poco/File.h>
#include <Poco/Path.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <unistd.h>

namespace Vel {

namespace {

constexpr std::uint32_t kOpaqueBlack = 0xFF000000;

bool GameFolderWritable()
{
    return access(".", W_OK) == 0;
}

} // namespace

Engine::Engine(const EngineOptions& options) : m_options(options) {}

Engine::~Engine()
{
    Shutdown();
}

int Engine::Run()
{
    if (!m_options.inputFile.empty()) {
        std::string error;
        auto input = InputScript::Load(m_options.inputFile, error);
        if (!input) {
            std::fprintf(stderr, "velloria: %s: %s\n", m_options.inputFile.c_str(), error.c_str());
            return 2;
        }
        m_options.platform.input = std::move(*input);
    }
    if (!m_options.traceFile.empty() && !Trace::Open(m_options.traceFile)) {
        std::fprintf(stderr, "velloria: cannot write the trace file %s\n", m_options.traceFile.c_str());
        return 2;
    }
    SetPlatformOptions(m_options.platform);
    if (!m_options.coverageFile.empty()) {
        // Named from where the command was given; the run works in the game folder.
        m_options.coverageFile = std::filesystem::absolute(m_options.coverageFile).string();
        StoryCoverage::Enable();
    }
    if (!EnterGameFolder())
        return 1;
    const StartOutcome started = StartGameSystems();
    if (started != StartOutcome::Started) {
        Shutdown();
        return started == StartOutcome::WrongScene ? 2 : 1;
    }
    m_hgeManager->GetHge()->System_Start();
    AutoSaveAtEnd();
    const bool covered = WriteCoverage();
    Shutdown();
    return covered ? 0 : 1;
}

int Engine::Explore()
{
    // The player's own files stay untouched: saves, remembered values and read marks go to a folder that goes.
    std::string scratch = (std::filesystem::temp_directory_path() / "velloria-explore-XXXXXX").string();
    if (mkdtemp(scratch.data()) == nullptr) {
        std::fprintf(stderr, "velloria explore: cannot make a scratch folder in %s\n", scratch.c_str());
        return 1;
    }
    m_options.userFolder = scratch;
    m_options.platform.headless = true;
    m_options.platform.fixedDelta = RouteExplorer::kFrameSeconds;
    SetPlatformOptions(m_options.platform);
    StoryCoverage::Enable();
    if (!m_options.exploreJson.empty())
        m_options.exploreJson = std::filesystem::absolute(m_options.exploreJson).string();
    int status = 1;
    if (EnterGameFolder()) {
        std::error_code error;
        const std::uintmax_t logOffset = std::filesystem::file_size(ChooseLogFile(), error);
        const StartOutcome started = StartGameSystems();
        if (started == StartOutcome::Started)
            status = ReportRoutes(error ? 0 : logOffset);
        else
            status = started == StartOutcome::WrongScene ? 2 : 1;
    }
    Shutdown();
    std::error_code error;
    std::filesystem::remove_all(scratch, error);
    return status;
}

int Engine::ReportRoutes(std::uintmax_t logOffset)
{
    const ExploreLimits limits{static_cast<std::size_t>(m_options.maxStates), m_options.exploreSeconds};
    RouteExplorer explorer(*m_systems, limits, Callback<void()>([this] { Render(); }), m_logFile, logOffset);
    const ExploreResult result = explorer.Run();
    const std::vector<std::u16string> scenes = m_systems->scenes.GetSceneNames();
    const ExploreReport report(result, scenes);
    std::fputs(report.Text().c_str(), stdout);
    std::string error;
    if (!m_options.exploreJson.empty() && !WriteTextFile(m_options.exploreJson, report.Json(), error)) {
        std::fprintf(stderr, "velloria explore: %s\n", error.c_str());
        return 1;
    }
    return report.IsClean() ? 0 : 1;
}

bool Engine::WriteCoverage() const
{
    if (m_options.coverageFile.empty())
        return true;
    std::string error;
    if (CoverageReport::Write(m_options.coverageFile, m_systems->scenes.GetSceneNames(), error))
        return true;
    std::fprintf(stderr, "velloria: %s\n", error.c_str());
    HgeManager::Log(error);
    return false;
}

// Start-up from the compiled scripts up to the moment the frame loop can run.
Engine::StartOutcome Engine::StartGameSystems()
{
    UserFiles::SetUserFolderOverride(m_options.userFolder);
    const CompileResult compiled = CompileScripts(".");
    m_readFromSource = compiled.readFromSource;
    // The log of a game folder the player cannot write goes to the user folder before the scripts can name the
    // game; that one is named after the game folder.
    if (!GameFolderWritable())
        UserFiles::CreateFolders();
    StartPlatform(compiled.warnings);
    MakeGameSystems();
    if (!ParseSystemScript())
        return StartOutcome::Failed;
    LoadPlayerSettings();
    if (!OpenDisplay())
        return StartOutcome::Failed;
    m_parseManager->RegisterFunctions();
    m_parseManager->Parse(u"script.vls");
    if (!IsStartSceneKnown())
        return StartOutcome::WrongScene;
    // Once the scripts have declared their triggers, and before the first scene reads them.
    LoadPersistentState();
    ConnectScenes();
    SetCommandLineTriggers();
    m_resumeScene =
        m_options.startScene.empty() ? TheGameNames().startSceneName : TextCodec::Widen(m_options.startScene);
    m_systems->scenes.StartScene(m_resumeScene, SceneStart::Reset);
    if (m_options.dev) {
        m_watcher = std::make_unique<FolderWatcher>(".");
        if (!m_watcher->IsWatching())
            m_hgeManager->GetHge()->System_Log("--dev: cannot watch the game folder; Shift+R still reloads");
    }
    return StartOutcome::Started;
}

// What the player keeps between runs, read once the scripts have declared their triggers.
void Engine::LoadPersistentState()
{
    if (!TheGameNames().gameId.empty())
        UserFiles::SetGameId(TextCodec::WideToUtf8(TheGameNames().gameId));
    UserFiles::CreateFolders();
    m_systems->triggers.LoadValues();
    m_systems->sound.LoadSettings();
    m_systems->saves.RefreshCanContinue();
    m_systems->readMarks.Load();
    // Written at once: values that could not be read, and the screen mode first chosen, are remembered now.
    m_systems->settings.Save();
    m_persistentValuesLoaded = true;
}

// The menus, screens and music the system script names, handed to the managers that show them.
void Engine::ConnectScenes()
{
    const GameNames& names = TheGameNames();
    m_systems->scenes.SetMainMenu(names.mainMenuName);
    m_systems->scenes.SetRightClickMenu(names.rightClickMenuName);
    m_systems->scenes.SetOptionsMenu(names.optionsMenuName);
    AttachGalleries(names);
    m_systems->sound.SetDefaultPlaylist(names.playlistName);
}

void Engine::MakeGameSystems()
{
    m_systems = std::make_unique<GameSystems>();
    if (m_options.dev)
        m_systems->scenes.SetErrorHint(u"Shift+R reloads the scripts; Escape ignores the error");
}

// An author's run: files written in the game folder reload the game once they have stood still for a moment, as an
// editor's save may write a file several times or write a temporary file and rename it over the old one.
void Engine::FollowGameFolder(float dt)
{
    for (const std::string& path : m_watcher->TakeChanges()) {
        if (IsGameFile(path))
            m_reloadIn = kSettleSeconds;
    }
    if (m_reloadIn < 0.0) {
        // No event reaches the frame loop's wait, so an idle run looks at the folder this often.
        FrameActivity::WakeWithin(kWatchSeconds);
        return;
    }
    m_reloadIn -= dt;
    if (m_reloadIn > 0.0) {
        FrameActivity::WakeWithin(m_reloadIn);
        return;
    }
    m_reloadIn = -1.0;
    ReloadGame();
}

// Saved files and the author's keys; a key that reloaded or went past the error does nothing else in this frame.
void Engine::FollowAuthor(float dt, PlayerActions& actions)
{
    FollowGameFolder(dt);
    if (actions.Pressed(PlayerAction::Reload)) {
        ReloadGame();
        actions.Reset();
    } else if (actions.Pressed(PlayerAction::Menu) && m_systems->scenes.IsErrorShown()) {
        IgnoreScriptError();
        actions.Reset();
    }
}

// The scripts and what they show and play: the engine's own files (compiled twins, the log, player files) are not.
bool Engine::IsGameFile(const std::string& path)
{
    static constexpr std::string_view kExtensions[] = {".vls", ".png",  ".jpg", ".jpeg", ".bmp", ".tga", ".ogg",
                                                       ".wav", ".flac", ".mp3", ".fnt",  ".ttf", ".otf"};
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return false;
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return std::find(std::begin(kExtensions), std::end(kExtensions), extension) != std::end(kExtensions);
}

// Fresh managers read every script again; the triggers, the volumes and the scene carry over, and the scene starts
// from its beginning. Pictures and sounds are read again as the scene shows and plays them.
void Engine::ReloadGame()
{
    if (!HasSystemScript()) {
        m_hgeManager->GetHge()->System_Log("reload skipped: no system.vls or system.cvls in the game folder");
        return;
    }
    if (!m_systems->scenes.IsErrorShown() && !m_systems->scenes.GetCurrentName().empty())
        m_resumeScene = m_systems->scenes.GetCurrentName();
    Trace::Write("reload", TextCodec::WideToUtf8(m_resumeScene));
    std::vector<Trigger> triggers;
    for (const auto& [name, trigger] : m_systems->triggers.Triggers()) {
        if (!IsEngineTriggerName(name))
            triggers.push_back(trigger);
    }
    // The volumes and preferences go through their files, as the new managers read them from there.
    m_systems->sound.SaveSettings();
    m_systems->settings.Save();
    m_systems->readMarks.Save();
    m_persistentValuesLoaded = false;
    m_systems.reset();
    m_parseManager.reset();
    ReadScriptsAgain();
    // A trigger the scripts now declare takes their kind; one they no longer name keeps its own.
    for (const Trigger& trigger : triggers) {
        if (m_systems->triggers.Find(trigger.name) == nullptr)
            m_systems->triggers.SetKind(trigger.name, trigger.kind);
        m_systems->triggers.Set(trigger.name, trigger.value);
    }
    ConnectScenes();
    m_systems->scenes.StartScene(m_resumeScene, SceneStart::Reset);
}

// Start-up's reading of the scripts into fresh managers, without the window that is open already.
void Engine::ReadScriptsAgain()
{
    const CompileResult compiled = CompileScripts(".");
    m_readFromSource = compiled.readFromSource;
    for (const std::string& warning : compiled.warnings)
        m_hgeManager->GetHge()->System_Log("%s", warning.c_str());
    MakeGameSystems();
    // The window and the render target stay as they are: a new resolution or screen mode takes a restart.
    const DisplaySettings display = TheDisplaySettings();
    (void)ParseSystemScript();
    TheDisplaySettings() = display;
    m_systems->settings.Load();
    m_systems->MirrorPreferences();
    m_parseManager->RegisterFunctions();
    m_parseManager->Parse(u"script.vls");
    LoadPersistentState();
}

// Escape on an author's error screen: the scenes read before the error go on.
void Engine::IgnoreScriptError()
{
    m_systems->scenes.DismissError();
    m_systems->scenes.StartScene(m_resumeScene, SceneStart::Reset);
}

// A scene asked for on the command line must be a story scene; when the scripts stopped at an error, the error
// screen tells more than the name could.
bool Engine::IsStartSceneKnown() const
{
    if (m_options.startScene.empty() || m_parseManager->HasError() ||
        m_systems->scenes.FindScene(TextCodec::Widen(m_options.startScene)) != nullptr)
        return true;
    std::string known;
    for (const std::u16string& name : m_systems->scenes.GetSceneNames())
        known += "\n  " + TextCodec::WideToUtf8(name);
    std::fprintf(stderr, "velloria: no story scene '%s'; the story scenes are:%s\n", m_options.startScene.c_str(),
                 known.c_str());
    return false;
}

// After "sys0.dfn" was read, so the command line wins; what a persistent trigger held before is remembered, as
// only the game itself may change what is stored.
void Engine::SetCommandLineTriggers()
{
    for (const auto& [name, value] : m_options.setTriggers) {
        const std::u16string wideName = TextCodec::Widen(name);
        const Trigger* trigger = m_systems->triggers.Find(wideName);
        if (trigger != nullptr && trigger->IsPersistent() && !m_storedBeforeSet.contains(wideName))
            m_storedBeforeSet[wideName] = trigger->value;
        m_systems->triggers.Set(wideName, TextCodec::Widen(value));
    }
}

// A persistent trigger the game left at its command-line value goes back to the value it had in "sys0.dfn".
void Engine::RestoreStoredTriggers()
{
    for (const auto& [name, value] : m_options.setTriggers) {
        const std::u16string wideName = TextCodec::Widen(name);
        const auto stored = m_storedBeforeSet.find(wideName);
        if (stored != m_storedBeforeSet.end() && m_systems->triggers.Get(wideName) == TextCodec::Widen(value))
            m_systems->triggers.Set(wideName, stored->second);
    }
}

// Every normal end comes back from the frame loop: the "end" function, a closed window, the last of the replay's
// frames. No frame follows to draw the auto save's thumbnail, so one more is drawn for it.
void Engine::AutoSaveAtEnd()
{
    m_systems->saves.AutoSave();
    if (!m_systems->scenes.IsSnapshotRequested())
        return;
    Render();
    m_systems->scenes.WriteRequestedSnapshot();
}

// Before the window opens, as the player's screen mode wins over the system script's: the system script has named
// the game, and so its user folder.
void Engine::LoadPlayerSettings()
{
    if (!TheGameNames().gameId.empty())
        UserFiles::SetGameId(TextCodec::WideToUtf8(TheGameNames().gameId));
    m_systems->settings.Load();
    if (m_options.language)
        m_systems->settings.SetRunLanguage(*m_options.language);
    DisplaySettings& display = TheDisplaySettings();
    display.fullscreen = m_systems->settings.ChooseFullscreen(display.fullscreen != 0) ? 1 : 0;
    m_systems->MirrorPreferences();
}

// The file interface, the 2D library with the frame callbacks and the log, and the game's archives.
void Engine::StartPlatform(const std::vector<std::string>& compileWarnings)
{
    m_logFile = ChooseLogFile();
    m_pakInterface = std::make_unique<PakInterface>();
    m_hgeManager = std::make_unique<HgeManager>(m_logFile);
    HGE* hge = m_hgeManager->GetHge();
    hge->System_SetState(HGE_FRAMEFUNC, &Engine::FrameFunc);
    hge->System_SetState(HGE_RENDERFUNC, &Engine::RenderFunc);
    for (const std::string& warning : compileWarnings)
        hge->System_Log("%s", warning.c_str());
    ApplyCodePage();
    m_hgeManager->MountArchives();
}

// The window, the game-sized render target and the sprites that put it on the screen.
bool Engine::OpenDisplay()
{
    if (!m_hgeManager->Init()) {
        Shutdown();
        return false;
    }
    const DisplaySettings& display = TheDisplaySettings();
    m_target = m_hgeManager->GetHge()->Target_Create(display.gameWidth, display.gameHeight, false);
    if (!m_target) {
        Fail("cannot create the render target of " + std::to_string(display.gameWidth) + "x" +
             std::to_string(display.gameHeight));
        return false;
    }
    m_presenter = std::make_unique<ScreenPresenter>();
    return true;
}

// The picture gallery and the save/load screen the system script names, built once and handed to the scenes manager
// (and the save/load screen to the save games too).
void Engine::AttachGalleries(const GameNames& names)
{
    const auto built = [this](const std::u16string& name) -> Gallery* {
        Gallery* gallery = name.empty() ? nullptr : m_systems->galleries.Find(name);
        if (gallery != nullptr && !gallery->IsBuilt())
            gallery->Build();
        return gallery;
    };
    m_systems->scenes.SetGallery(built(names.galleryName));
    Gallery* saveLoad = built(names.saveLoadName);
    m_systems->scenes.SetSaveLoadGallery(saveLoad);
    m_systems->saves.SetSaveLoadGallery(saveLoad);
}

int Engine::Check()
{
    CheckReport report;
    const bool read = ReadForAuthor(AuthorTask::Check, report);
    report.Print(m_options.checkFormat);
    if (!read || report.HasErrors())
        return 1;
    return m_options.strict && report.HasWarnings() ? 1 : 0;
}

int Engine::Translate()
{
    CheckReport report;
    if (!ReadForAuthor(AuthorTask::Translate, report) || report.HasErrors()) {
        report.Print(m_options.checkFormat);
        return 1;
    }
    const std::u16string& title = TheGameNames().title;
    const std::string project =
        title.empty() ? std::filesystem::current_path().filename().string() : TextCodec::WideToUtf8(title);
    std::string error;
    if (!m_linter->Texts().WriteTemplate("lang/messages.pot", project, error)) {
        std::fprintf(stderr, "velloria translate: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

// Everything a game run reads, without a window; false when the game cannot even start to be read.
bool Engine::ReadForAuthor(AuthorTask task, CheckReport& report)
{
    if (!EnterGameFolder())
        return false;
    const CompileResult compiled = CompileForAuthor(CompileMode::Checked, report);
    m_readFromSource = compiled.readFromSource;
    // Reading the scripts needs neither a window nor a sound device.
    m_options.platform.headless = true;
    SetPlatformOptions(m_options.platform);
    m_logFile = ChooseLogFile();
    m_hgeManager = std::make_unique<HgeManager>(m_logFile);
    ApplyCodePage();
    m_hgeManager->MountArchives();
    m_systems = std::make_unique<GameSystems>();
    m_linter = std::make_unique<ScriptLinter>();
    // A check compares the texts with the game's translations, when it has any.
    if (task == AuthorTask::Translate || ShownTexts::GameHasTranslations())
        m_linter->Texts().Collect();
    if (!ParseSystemScript())
        return false;
    // The headless screen lets the styles load their letter pictures as in a game run, so a font that cannot be
    // drawn is named in the log and a good one leaves no "no display" lines there.
    if (!m_hgeManager->Init())
        return false;
    m_parseManager->RegisterFunctions();
    m_parseManager->Parse(u"script.vls");
    if (m_parseManager->HasError()) {
        report.AddScriptError(TextCodec::WideToUtf8(m_parseManager->ErrorReport()));
        return true;
    }
    for (const std::string& warning : m_parseManager->Warnings())
        report.AddWarning(warning);
    // Targets are judged only now: a goto may name a scene defined further down.
    for (const std::string& warning : m_linter->Finish())
        report.AddWarning(warning);
    return true;
}

int Engine::Compile()
{
    if (!EnterGameFolder())
        return 1;
    CheckReport report;
    const bool allWritten = CompileForAuthor(CompileMode::Every, report).readFromSource.empty();
    report.Print(CheckFormat::Text);
    return allWritten ? 0 : 1;
}

// The author tools report the compiler's warnings instead of logging them, every warning about the sources each
// time, not only after an edit: `compile` writes every twin again, as asked; `check` reads the sources whose twins
// are current only for their warnings.
CompileResult Engine::CompileForAuthor(CompileMode mode, CheckReport& report)
{
    CompileResult compiled = CompileScripts(".", mode);
    for (const std::string& warning : compiled.warnings)
        report.AddWarning(warning);
    return compiled;
}

bool Engine::EnterGameFolder()
{
    if (chdir(m_options.gameFolder.c_str()) != 0) {
        std::fprintf(stderr, "velloria: cannot enter the game folder %s\n", m_options.gameFolder.c_str());
        return false;
    }
    // The user folder's name unless the scripts give the game an id.
    UserFiles::SetGameId(UserFiles::GameIdOfFolder(std::filesystem::current_path().filename().string()));
    return true;
}

// A game installed where the player cannot write keeps its log in the player's own folder.
std::string Engine::ChooseLogFile() const
{
    if (GameFolderWritable())
        return "engine.log";
    return TextCodec::WideToUtf8(UserFiles::GetUserFolder()) + "engine.log";
}

// Bitmap fonts index their letters by the bytes of the game's single-byte code page.
void Engine::ApplyCodePage()
{
    HGE* hge = m_hgeManager->GetHge();
    const std::string codePage = hge->Ini_GetString("engine", "codepage", "CP1252");
    if (!TextCodec::SetCodePage(codePage))
        hge->System_Log("preferences.ini: unknown code page %s; using %s", codePage.c_str(),
                        TextCodec::CodePage().c_str());
}

void Engine::Fail(const std::string& message)
{
    std::fprintf(stderr, "velloria: %s\n", message.c_str());
    if (m_hgeManager)
        m_hgeManager->GetHge()->System_Log("%s", message.c_str());
    Shutdown();
}

bool Engine::HasSystemScript() const
{
    if (Poco::File("system.vls").exists() || Poco::File("system.cvls").exists())
        return true;
    HGE* hge = m_hgeManager->GetHge();
    void* data = hge->Resource_Load("system.cvls");
    hge->Resource_Free(data);
    return data != nullptr;
}

bool Engine::ParseSystemScript()
{
    if (!HasSystemScript()) {
        Fail("no system.vls or system.cvls in the game folder " + Poco::Path::current());
        return false;
    }
    m_parseManager = std::make_unique<ParseManager>();
    m_parseManager->SetLinter(m_linter.get());
    m_parseManager->SetReadFromSource(m_readFromSource);
    m_parseManager->SetErrorHandler(Callback<void(const std::u16string&)>(this, &Engine::OnScriptError));
    m_parseManager->Parse(u"system.vls");
    DisplaySettings& display = TheDisplaySettings();
    if (display.gameWidth > 0 && display.gameHeight > 0)
        return true;
    if (m_parseManager->HasError()) {
        // The window is still needed to show the report; the game's own size never arrived.
        display.gameWidth = 800;
        display.gameHeight = 600;
        return true;
    }
    Fail("no resolution set by system.vls");
    return false;
}

void Engine::OnScriptError(const std::u16string& report)
{
    // The reader stops at the error, so the scenes it built are incomplete: none of them may run, unless an author
    // asks to go on with them.
    if (m_systems && !m_options.dev)
        m_systems->scenes.DeleteAllScenes();
    ScenesManager::ReportError(report);
}

bool Engine::FrameFunc()
{
    return GetSingleton().Frame();
}

bool Engine::RenderFunc()
{
    GetSingleton().Render();
    return false;
}

bool Engine::Frame()
{
    Trace::SetFrame(++m_frame);
    HGE* hge = m_hgeManager->GetHge();
    const float dt = hge->Timer_GetDelta();
    WriteDrawnCount();
    m_hgeManager->FollowWindowSize();
    PlayerActions& actions = PlayerActions::Get();
    actions.Poll(*hge);
    if (actions.Pressed(PlayerAction::FullScreen))
        m_hgeManager->ToggleScreenMode();
    if (m_watcher)
        FollowAuthor(dt, actions);
    // Before the scenes run: a quick load replaces the story this frame goes on with.
    if (actions.Pressed(PlayerAction::QuickSave))
        m_systems->saves.QuickSave();
    if (actions.Pressed(PlayerAction::QuickLoad))
        m_systems->saves.QuickLoad();
    m_systems->scenes.Update(dt);
    // Every frame, also while the scenes stand still behind an error or a notice, so streams never starve.
    m_systems->sound.Update(dt);
    if (actions.Pressed(PlayerAction::Screenshot))
        TakeScreenshot();
    return !m_systems->scenes.IsRunning();
}

// Asked for by the replay: a screen that waits for the player draws nothing once it has settled.
void Engine::WriteDrawnCount()
{
    const std::vector<InputEvent>& events = m_options.platform.input.Events();
    for (; m_nextProbe < events.size() && events[m_nextProbe].frame <= m_frame; ++m_nextProbe) {
        if (events[m_nextProbe].kind == InputEvent::Kind::Drawn)
            Trace::Write("drawn", std::to_string(m_drawnFrames));
    }
}

void Engine::Render()
{
    ++m_drawnFrames;
    HGE* hge = m_hgeManager->GetHge();
    // A headless screen of the game's own size shows the game as it is: drawn straight onto it, the copy of every
    // frame is saved.
    const DisplaySettings& display = TheDisplaySettings();
    const bool direct = m_options.platform.headless && display.screenWidth == display.gameWidth &&
                        display.screenHeight == display.gameHeight;
    hge->Gfx_BeginScene(direct ? 0 : m_target);
    hge->Gfx_Clear(kOpaqueBlack);
    if (m_systems)
        m_systems->scenes.Render();
    hge->Gfx_EndScene();
    if (m_presenter && !direct)
        m_presenter->Draw(hge, m_target, display);
}

void Engine::TakeScreenshot()
{
    const std::string folder = TextCodec::WideToUtf8(UserFiles::GetScreenshotFolder());
    const std::string path = UserFiles::NextNumberedFile(folder, ".bmp");
    HGE* hge = m_hgeManager->GetHge();
    if (hge->System_Snapshot(path.c_str()))
        Trace::Write("screenshot", std::string_view(path));
    else
        hge->System_Log("Cannot write the screenshot %s", path.c_str());
}

// Safe to call more than once: the steps that already ran are skipped. The values are written while their managers
// exist; the managers go before the script reader and the 2D library they were made with.
void Engine::Shutdown()
{
    if (m_hgeManager && m_target) {
        m_hgeManager->GetHge()->Target_Free(m_target);
        m_target = 0;
    }
    if (m_persistentValuesLoaded) {
        RestoreStoredTriggers();
        m_systems->triggers.SaveValues();
        m_systems->sound.SaveSettings();
        m_systems->settings.Save();
        m_systems->readMarks.Save();
        m_persistentValuesLoaded = false;
    }
    m_presenter.reset();
    m_systems.reset();
    m_parseManager.reset();
    m_linter.reset();
    if (m_hgeManager) {
        m_hgeManager->GetHge()->System_Shutdown();
        m_hgeManager.reset();
    }
    m_pakInterface.reset();
    Trace::Close();
}

} // namespace Vel
