#pragma once

// Owns every scene of the game and decides who gets each frame. The parser creates the story scenes (in the order
// the script defines them, which is also the order they follow each other in) and the interface scenes; start-up
// starts the first scene; the frame callback calls Update and the render callback Render once per frame. A story
// scene whose command list runs out hands over to the next one defined. A script error replaces everything with
// the error screen, which shows the parser's report until the window is closed.
//
// Each frame Update runs, in this order: a save's thumbnail requested by the previous frame, the fading of the
// notice after a save, the right click (which opens the right-click menu or goes back from a menu), the music fades,
// the two click gates (ClickGate) that every mouse-driven part shares, the play modes (skip and auto-forward, whose
// own advance goes to the texts or the pause the story waits in); then either the open history screen alone, or a
// shown gallery alone, or the open menu alone (after the scenes' pending node changes), or the voice's resumption,
// the dialogue layer (text boxes and choices, which may take the mouse), the shown interface scenes and the current
// scene. Render draws a shown gallery, or the scene, the interfaces, the dialogue layer and the top menu (left out of a
// thumbnail's frame), under the history screen when it is open; then the notice. Starting a scene closes the menus,
// hides every text and unloads the pictures' textures. The manager is the current-scene accessor (CurrentScene) for
// click actions and object targets while it exists.

#include "core/VelSingleton.h"
#include "scene/DialogueLayer.h"
#include "scene/PlayModes.h"
#include "scene/Scene.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Vel {

class DialogueLayer;
class FullScreenLayer;
class HistoryLayer;
class Poster;
class MenuLayer;
class hgeFont;

enum class SceneStart
{
    Reset,  // back to the scene's first command with an empty stage
    Resume, // from the scene's position, with what it holds (a loaded game)
};

class ScenesManager : public Singleton<ScenesManager>
{
public:
    // The bitmap font of the error screen, read from the game folder or the archives when the error is first drawn.
    static constexpr const char* kErrorFontFile = "font1.fnt";
    // Without a usable bitmap font the report is drawn with this face (Debian's fonts-dejavu-core, which the
    // engine's set-up installs), so an author never faces a black window without a word.
    static constexpr const char* kFallbackFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    static constexpr float kFallbackFontSize = 16.0f;
    static constexpr float kErrorX = 20.0f;
    static constexpr float kErrorY = 120.0f;

    ScenesManager();
    virtual ~ScenesManager();

    // A new story scene, chained after the previously created one. A name already taken keeps its first scene:
    // the returned one is still chained and owned, so its block reads normally, but no name reaches it.
    Scene* CreateScene(const std::u16string& name);
    // A new interface scene; a name already taken keeps its first scene, as for story scenes.
    Scene* CreateInterfaceScene(const std::u16string& name);
    // nullptr when there is none of that name.
    [[nodiscard]] Scene* FindScene(const std::u16string& name) const;
    [[nodiscard]] Scene* FindInterfaceScene(const std::u16string& name) const;
    // The story scenes' names in the order the scripts define them.
    [[nodiscard]] std::vector<std::u16string> GetSceneNames() const;

    // Makes the named story scene the current one and starts it. An unknown name leaves the running scene as it is,
    // but its end no longer starts a successor until a later start succeeds.
    void StartScene(const std::u16string& name, SceneStart start);
    // The current scene's list ran out: starts its next scene unless a switch is under way.
    void OnSceneFinished();

    // Starts the interface scene afresh over the story unless it is shown already.
    void LaunchInterface(const std::u16string& name);
    // Whether it was shown.
    bool RemoveInterface(const std::u16string& name);
    void ClearInterfaces();

    // dt in seconds; once per frame.
    void Update(float dt);
    // Draws into the target the render callback has opened, in game coordinates.
    void Render();

    // Deletes every story and interface scene; nothing is current afterwards.
    void DeleteAllScenes();
    // From now on only the text is shown and no scene runs.
    void ShowError(std::u16string text);
    [[nodiscard]] bool IsErrorShown() const { return m_errorShown; }
    // The report the error screen shows (with the hint under it, if any).
    [[nodiscard]] const std::u16string& GetErrorText() const { return m_errorText; }
    // A line shown under every error report from now on (an author's run names its keys); empty for none.
    void SetErrorHint(std::u16string hint) { m_errorHint = std::move(hint); }
    // Takes the error screen away; the scenes read before the error may run again.
    void DismissError();
    // The script error report: "Script error", the file, the line and what went wrong, one per line.
    [[nodiscard]] static std::u16string ErrorReport(const std::u16string& file, std::int32_t line,
                                                    const std::u16string& info);
    // A script error, whether the reader found it or the story ran into it: its first line goes to the trace, the
    // whole report to the log, and the error screen shows it when there is a scenes manager. The scenes are left
    // alone, as a running command may belong to one of them.
    static void ReportError(const std::u16string& report);

    // The interface function "end": the frame loop stops after this frame.
    void End() { m_running = false; }
    // The route explorer goes on with another route after one ran "end".
    void KeepRunning() { m_running = true; }
    [[nodiscard]] bool IsRunning() const { return m_running; }

    // The text boxes and choices over the story; borrowed, null for none. Set by start-up.
    void SetDialogueLayer(DialogueLayer* dialogue) { m_dialogue = dialogue; }
    // The open menus; borrowed, null for none. Set by start-up, as are the special menus' names.
    void SetMenuLayer(MenuLayer* menus) { m_menus = menus; }
    void SetMainMenu(std::u16string name) { m_mainMenuName = std::move(name); }
    void SetRightClickMenu(std::u16string name) { m_rightClickMenuName = std::move(name); }
    void SetOptionsMenu(std::u16string name) { m_optionsMenuName = std::move(name); }
    // The interface functions "main" and "options".
    void ShowMainMenu();
    void ShowOptionsMenu();

    // The picture gallery and the save/load screen; borrowed, null for none. While one is shown it alone is
    // updated and drawn. Set by start-up; "gallery" shows the first, the save-game code the second.
    void SetGallery(FullScreenLayer* gallery) { m_gallery = gallery; }
    void SetSaveLoadGallery(FullScreenLayer* saveLoad) { m_saveLoad = saveLoad; }
    void ShowGallery();
    void HideGallery();
    void ShowSaveLoad();
    void HideSaveLoad();
    [[nodiscard]] bool IsGalleryShown() const { return m_galleryShown; }
    [[nodiscard]] bool IsSaveLoadShown() const { return m_saveLoadShown; }
    // The history screen; borrowed, null for none. Set by start-up.
    void SetHistoryLayer(HistoryLayer* history) { m_history = history; }
    // The interface function "history", Page Up and the wheel turned away from the player: the history screen opens
    // over the story, or over the open menu whose button asked for it; not over a gallery, the save/load screen or
    // the error screen, nor while the player has hidden the boxes.
    void ShowHistory();
    [[nodiscard]] bool IsHistoryShown() const { return m_historyShown; }
    // The interface function "hide": the text boxes go as H hides them.
    void HideBoxes();
    // Nothing covers the story: no menu, gallery, save/load screen, history or error screen is open.
    [[nodiscard]] bool IsStoryInFront() const;

    // A story scene is current, no error is shown, and no menu covers it but the right-click menu and those opened
    // from it: a save made now brings the player back into the story.
    [[nodiscard]] bool IsStoryCurrent() const;
    // A save's thumbnail: the next frame is drawn without the open menu and written to the file (a BMP) before the
    // frame after it is updated.
    void RequestSnapshot(std::string path);
    [[nodiscard]] bool IsSnapshotRequested() const { return !m_snapshotPath.empty(); }
    // The requested thumbnail written, once a frame was drawn for it; the frame loop calls it first in Update, the
    // end of a run after drawing a last frame.
    void WriteRequestedSnapshot();
    // The notice shown over the game after a save while the game goes on, until it has faded out. Borrowed (its
    // gallery owns it), null for none.
    void SetNotice(Poster* notice) { m_notice = notice; }
    [[nodiscard]] Poster* GetNotice() const { return m_notice; }

    void SetRightClickEnabled(bool enabled) { m_rightClickEnabled = enabled; }

    [[nodiscard]] Scene* GetCurrentScene() const { return m_current; }
    // The name last asked of StartScene, found or not.
    [[nodiscard]] const std::u16string& GetCurrentName() const { return m_currentName; }
    [[nodiscard]] std::vector<std::u16string> GetShownInterfaces() const;

private:
    struct DeferredStart
    {
        std::u16string name;
        SceneStart start = SceneStart::Reset;
    };

    void TakeRightClick();
    void UpdateHistory(float dt);
    // H or the middle button hides the text boxes over the story; the next click or key shows them and does nothing
    // else. While they are hidden no click or key reaches the story.
    void TakeHide();
    void SetBoxesHidden(bool hidden);
    // Whether an advancing key or a notch of the wheel acts on the story in this frame, through the left gate.
    [[nodiscard]] Advancing TakeAdvance();
    // What the play modes need to know of the story at the start of a frame.
    [[nodiscard]] PlayModes::Story StoryNow() const;
    [[nodiscard]] bool CanGoBack() const;
    void RenderStory();
    [[nodiscard]] FullScreenLayer* ShownScreen() const;
    [[nodiscard]] bool IsMenuOpen() const;
    void UpdateScenes(float dt, Scene::MouseAccess access, Advancing advancing,
                      MouseReach reach = MouseReach::Open);
    [[nodiscard]] bool InterfaceActsUnderMouse() const;
    void ApplyPendingNodeChanges();
    void RenderError();

    std::map<std::u16string, std::unique_ptr<Scene>> m_scenes;
    // Scenes whose name was already taken; kept alive because their block was open when they were made.
    std::vector<std::unique_ptr<Scene>> m_unnamedScenes;
    std::vector<Scene*> m_definitionOrder;
    std::map<std::u16string, std::unique_ptr<Scene>> m_interfaceScenes;
    std::map<std::u16string, Scene*> m_shownInterfaces;
    Scene* m_current = nullptr;
    std::u16string m_currentName;
    bool m_switching = false;
    bool m_running = true;
    bool m_rightClickEnabled = true;
    // The menu the player opened over the story (the right-click menu, the options from a quick menu) has not
    // closed yet: the story is still the current one under it, and Escape goes back from it.
    bool m_playerMenuOpen = false;
    DialogueLayer* m_dialogue = nullptr;
    MenuLayer* m_menus = nullptr;
    FullScreenLayer* m_gallery = nullptr;
    FullScreenLayer* m_saveLoad = nullptr;
    bool m_galleryShown = false;
    bool m_saveLoadShown = false;
    HistoryLayer* m_history = nullptr;
    bool m_historyShown = false;
    std::string m_snapshotPath; // empty: none requested
    bool m_snapshotReady = false;
    Poster* m_notice = nullptr;
    std::u16string m_mainMenuName;
    std::u16string m_rightClickMenuName;
    std::u16string m_optionsMenuName;

    // Scenes that end at once start their successor from inside their own start; past this depth the next start
    // waits for the next frame, so a loop of such scenes cannot exhaust the stack.
    static constexpr int kMaxNestedStarts = 64;
    int m_startDepth = 0;
    std::optional<DeferredStart> m_deferredStart;

    bool m_errorShown = false;
    std::u16string m_errorText;
    std::u16string m_errorHint;
    std::string m_errorLines;             // the text in the game's code page, made once
    std::unique_ptr<hgeFont> m_errorFont; // made at the first error frame: it needs the window
    bool m_errorFontUsable = false;       // it found its letter picture
};

} // namespace Vel
