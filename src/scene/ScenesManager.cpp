#include "scene/ScenesManager.h"

#include "core/Callback.h"
#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/Trace.h"
#include "platform/FrameActivity.h"
#include "resources/FontFace.h"
#include "resources/FontLibrary.h"
#include "resources/ResourceManager.h"
#include "resources/hgeFont.h"
#include "scene/ClickGate.h"
#include "scene/CurrentScene.h"
#include "scene/DialogueLayer.h"
#include "scene/FullScreenLayer.h"
#include "scene/HistoryLayer.h"
#include "scene/MenuLayer.h"
#include "scene/PlayModes.h"
#include "scene/PlayerActions.h"
#include "scene/Poster.h"
#include "scene/Scene.h"
#include "scene/StoryCoverage.h"
#include "sound/SoundManager.h"

#include <cstdio>
#include <utility>

namespace Vel {

namespace {

// Counts the starts nested inside one another while it lives.
class NestedStart
{
public:
    explicit NestedStart(int& depth) : m_depth(depth) { ++m_depth; }
    ~NestedStart() { --m_depth; }
    NestedStart(const NestedStart&) = delete;
    NestedStart& operator=(const NestedStart&) = delete;

private:
    int& m_depth;
};

} // namespace

ScenesManager::ScenesManager()
{
    CurrentScene::SetAccessor(Callback<Scene*()>([this] { return m_current; }));
}

ScenesManager::~ScenesManager()
{
    CurrentScene::SetAccessor({});
    DeleteAllScenes();
}

Scene* ScenesManager::CreateScene(const std::u16string& name)
{
    auto scene = std::make_unique<Scene>();
    scene->SetName(name);
    Scene* created = scene.get();
    if (!m_definitionOrder.empty() && m_definitionOrder.back() != nullptr) {
        m_definitionOrder.back()->SetNextScene(name);
        // The script has most likely finished the scene before it; a long story holds a great many scenes, and
        // trimming while it is read lets the next ones reuse the room.
        m_definitionOrder.back()->TrimCommands();
    }
    m_definitionOrder.push_back(created);
    const auto [entry, inserted] = m_scenes.try_emplace(name, nullptr);
    if (inserted)
        entry->second = std::move(scene);
    else
        m_unnamedScenes.push_back(std::move(scene));
    return created;
}

Scene* ScenesManager::CreateInterfaceScene(const std::u16string& name)
{
    auto scene = std::make_unique<Scene>();
    scene->SetName(name);
    Scene* created = scene.get();
    const auto [entry, inserted] = m_interfaceScenes.try_emplace(name, nullptr);
    if (inserted)
        entry->second = std::move(scene);
    else
        m_unnamedScenes.push_back(std::move(scene));
    return created;
}

Scene* ScenesManager::FindScene(const std::u16string& name) const
{
    const auto found = m_scenes.find(name);
    return found != m_scenes.end() ? found->second.get() : nullptr;
}

Scene* ScenesManager::FindInterfaceScene(const std::u16string& name) const
{
    const auto found = m_interfaceScenes.find(name);
    return found != m_interfaceScenes.end() ? found->second.get() : nullptr;
}

std::vector<std::u16string> ScenesManager::GetSceneNames() const
{
    std::vector<std::u16string> names;
    for (const Scene* scene : m_definitionOrder) {
        if (FindScene(scene->GetName()) == scene)
            names.push_back(scene->GetName());
    }
    return names;
}

void ScenesManager::StartScene(const std::u16string& name, SceneStart start)
{
    if (m_errorShown)
        return;
    if (m_startDepth >= kMaxNestedStarts) {
        m_deferredStart = DeferredStart{name, start};
        return;
    }
    const NestedStart nested(m_startDepth);
    FrameActivity::Changed();
    m_switching = true;
    m_currentName = name;
    if (m_menus != nullptr)
        m_menus->CloseAll();
    // The old scene's speech and texts go, and its pictures give their textures back until they are drawn again.
    if (ResourceManager* resources = ResourceManager::GetSingletonPtr()) {
        resources->HideAllDialogs();
        resources->UnloadAll();
    }
    if (m_dialogue != nullptr)
        m_dialogue->HideAll();
    // The click that asked for the switch must not also act in the new scene.
    ClickGate::Left().Close();
    Scene* scene = FindScene(name);
    if (scene == nullptr)
        return;
    if (m_current != nullptr)
        m_current->Stop();
    m_switching = false;
    m_current = scene;
    // Only the current scene may hand over: a report from a scene that was switched away from goes nowhere.
    scene->SetFinishedCallback(Callback<void()>([this, scene] {
        if (scene == m_current)
            OnSceneFinished();
    }));
    if (start == SceneStart::Reset)
        scene->Reset();
    Trace::Write("scene", name);
    StoryCoverage::Reached(name);
    scene->Start();
}

void ScenesManager::OnSceneFinished()
{
    if (m_switching || m_current == nullptr)
        return;
    // The last scene stays on its last picture and keeps its name, which a save written now still needs.
    const std::u16string next = m_current->GetNextScene();
    if (!next.empty())
        StartScene(next, SceneStart::Reset);
}

void ScenesManager::LaunchInterface(const std::u16string& name)
{
    if (m_errorShown || m_shownInterfaces.contains(name))
        return;
    Scene* scene = FindInterfaceScene(name);
    if (scene == nullptr)
        return;
    Trace::Write("interface", name);
    // Shown before it starts: its own first commands may show interfaces (this one, or one showing it back) or
    // clear them, and must find it shown already rather than start it again.
    m_shownInterfaces[name] = scene;
    FrameActivity::Changed();
    scene->Reset();
    scene->Start();
}

bool ScenesManager::RemoveInterface(const std::u16string& name)
{
    FrameActivity::Changed();
    return m_shownInterfaces.erase(name) > 0;
}

void ScenesManager::ClearInterfaces()
{
    FrameActivity::Changed();
    m_shownInterfaces.clear();
}

std::vector<std::u16string> ScenesManager::GetShownInterfaces() const
{
    std::vector<std::u16string> names;
    for (const auto& [name, scene] : m_shownInterfaces)
        names.push_back(name);
    return names;
}

void ScenesManager::Update(float dt)
{
    WriteRequestedSnapshot();
    if (m_errorShown) {
        // The error stops the skip.
        (void)PlayModes::Get().Update(dt, StoryNow());
        return;
    }
    // The notice after a save fades over the game while the player goes on: a click right after saving counts.
    if (m_notice != nullptr) {
        FrameActivity::Changed();
        FrameActivity::WakeWithin(0.0);
        if (m_notice->Update(dt))
            m_notice = nullptr;
    }
    SoundManager* sound = SoundManager::GetSingletonPtr();
    // Before the boxes take a key: over hidden boxes the wheel or Page Up shows them again and opens nothing. A menu
    // takes the keys while it is open; its own button may still open the history over it.
    const bool historyWasShown = m_historyShown;
    if (!m_historyShown && !IsMenuOpen() && PlayerActions::Get().Pressed(PlayerAction::History))
        ShowHistory();
    if (!m_historyShown) {
        TakeHide();
        TakeRightClick();
    }
    if (sound != nullptr)
        sound->UpdateFades(dt);
    ClickGate::Right().Advance(dt);
    ClickGate::Left().Advance(dt);
    const ModeAdvance modeAdvance = PlayModes::Get().Update(dt, StoryNow());
    // The notch or key that opened the screen has done its part; it does not also scroll.
    if (m_historyShown) {
        if (historyWasShown)
            UpdateHistory(dt);
        PlayerActions::Get().DropNotches();
        return;
    }
    if (FullScreenLayer* screen = ShownScreen()) {
        PlayerActions::Get().DropNotches();
        screen->Update(dt);
        return;
    }
    // An open menu holds the story: only the menu runs. What the scenes placed right before it opened is put on
    // their stage first, so that it shows under the menu.
    if (IsMenuOpen()) {
        PlayerActions::Get().DropNotches();
        ApplyPendingNodeChanges();
        m_menus->Update(dt);
        return;
    }
    // No menu is open from here on, so a voice paused for one goes on.
    if (sound != nullptr)
        sound->PauseVoice(false);
    if (m_dialogue != nullptr && m_dialogue->IsHidden()) {
        m_dialogue->Update(dt);
        UpdateScenes(dt, Scene::MouseAccess::None, Advancing::No);
        return;
    }
    Scene::MouseAccess access = Scene::MouseAccess::Open;
    Advancing advancing = TakeAdvance();
    const MouseReach reach = InterfaceActsUnderMouse() ? MouseReach::Covered : MouseReach::Open;
    if (m_dialogue != nullptr) {
        m_dialogue->Update(dt);
        if (m_dialogue->HandleInput(modeAdvance == ModeAdvance::Text ? Advancing::Yes : advancing, reach))
            access = Scene::MouseAccess::Blocked;
    }
    // The play modes' advance of a text has been taken by it: a pause that follows waits for its own.
    if (modeAdvance == ModeAdvance::Pause)
        advancing = Advancing::Now;
    UpdateScenes(dt, access, advancing, reach);
}

// A button of an interface over the story (a quick menu) owns the click made on it: the text and the pause beneath
// would otherwise take the same click and run on.
bool ScenesManager::InterfaceActsUnderMouse() const
{
    HGE* hge = HgeManager::Interface();
    if (hge == nullptr || !hge->Input_IsMouseOver())
        return false;
    float x = 0.0f;
    float y = 0.0f;
    hge->Input_GetMousePos(&x, &y);
    ScreenToGame(x, y);
    for (const auto& [name, scene] : m_shownInterfaces) {
        if (scene->ActsAt(x, y))
            return true;
    }
    return false;
}

PlayModes::Story ScenesManager::StoryNow() const
{
    PlayModes::Story story;
    story.inFront = IsStoryInFront() && (m_dialogue == nullptr || !m_dialogue->IsHidden());
    story.choosing = m_dialogue != nullptr && m_dialogue->IsChoosing();
    story.scene = m_current;
    story.position = m_current != nullptr ? m_current->GetPosition() : 0;
    const SoundManager* sound = SoundManager::GetSingletonPtr();
    story.voicePlaying = sound != nullptr && sound->GetVoiceStream() != 0;
    return story;
}

void ScenesManager::TakeHide()
{
    if (m_dialogue == nullptr)
        return;
    PlayerActions& actions = PlayerActions::Get();
    if (m_dialogue->IsHidden()) {
        if (!actions.AnyPressed())
            return;
        SetBoxesHidden(false);
        ClickGate::Left().Close();
        ClickGate::Right().Close();
        actions.DropNotches();
        actions.SpendPresses();
        return;
    }
    // Over a menu or a full-screen gallery the boxes are not the player's to hide.
    if (actions.Pressed(PlayerAction::Hide) && !IsMenuOpen() && ShownScreen() == nullptr)
        SetBoxesHidden(true);
}

void ScenesManager::HideBoxes()
{
    if (m_dialogue != nullptr && !m_dialogue->IsHidden() && IsStoryInFront())
        SetBoxesHidden(true);
}

void ScenesManager::ShowHistory()
{
    if (m_history == nullptr || m_historyShown || m_errorShown || ShownScreen() != nullptr ||
        (m_dialogue != nullptr && m_dialogue->IsHidden()))
        return;
    m_historyShown = true;
    m_history->Open();
    FrameActivity::Changed();
    Trace::Write("history", "open");
}

// The notch, key or button that closes the screen acts on nothing else: the story goes on only at the next one.
void ScenesManager::UpdateHistory(float dt)
{
    const HistoryStep step = m_history->Update(dt);
    if (step == HistoryStep::StaysOpen)
        return;
    m_historyShown = false;
    ClickGate::Left().Close();
    ClickGate::Right().Close();
    FrameActivity::Changed();
    Trace::Write("history", "close");
}

void ScenesManager::SetBoxesHidden(bool hidden)
{
    m_dialogue->SetHidden(hidden);
    Trace::Write("hide", hidden ? "on" : "off");
}

Advancing ScenesManager::TakeAdvance()
{
    PlayerActions& actions = PlayerActions::Get();
    if (!ClickGate::Left().Accept(actions.WantsAdvance()))
        return Advancing::No;
    actions.AdvanceTaken();
    return Advancing::Yes;
}

// A right click or Escape is taken while the gate is open. It goes back from a menu when there is something to go
// back to, also while the script has switched the right-click menu off; otherwise, when the script allows it, it
// opens the right-click menu over the story, pausing the voice, unless a menu is open already. A click not taken
// is forgotten.
void ScenesManager::TakeRightClick()
{
    const bool down = PlayerActions::Get().Held(PlayerAction::Menu);
    ClickGate& gate = ClickGate::Right();
    const bool back = CanGoBack();
    if (!(m_rightClickEnabled || back) || !gate.Accept(down)) {
        gate.SetUsed(false);
        return;
    }
    // Over a gallery the right button leaves its full view; no menu opens under it.
    if (m_menus == nullptr || ShownScreen() != nullptr)
        return;
    if (back) {
        m_menus->Back();
        return;
    }
    if (IsMenuOpen())
        return;
    // Set first: a menu that does not exist reports closed at once.
    m_playerMenuOpen = true;
    m_menus->ShowMenu(m_rightClickMenuName, Callback<void()>([this] { m_playerMenuOpen = false; }));
    if (SoundManager* sound = SoundManager::GetSingletonPtr())
        sound->PauseVoice(true);
}

// The top menu was opened by the right click (which opens it only over no menu) or over another menu. A menu that
// a scene opened alone stays: there is nothing under it to go back to.
bool ScenesManager::CanGoBack() const
{
    return m_menus != nullptr && (m_menus->OpenCount() > 1 || (m_playerMenuOpen && IsMenuOpen()));
}

bool ScenesManager::IsMenuOpen() const
{
    return m_menus != nullptr && !m_menus->CurrentMenuName().empty();
}

void ScenesManager::ShowMainMenu()
{
    if (m_menus != nullptr)
        m_menus->ShowMenu(m_mainMenuName, {});
}

void ScenesManager::ShowOptionsMenu()
{
    if (m_menus == nullptr)
        return;
    // From a button over the story, as the right click opens its menu; from another menu, over that one.
    if (IsMenuOpen()) {
        m_menus->ShowMenu(m_optionsMenuName, {});
        return;
    }
    m_playerMenuOpen = true;
    m_menus->ShowMenu(m_optionsMenuName, Callback<void()>([this] { m_playerMenuOpen = false; }));
}

// Interface scenes first: they lie over the story and may take the mouse from it.
void ScenesManager::UpdateScenes(float dt, Scene::MouseAccess access, Advancing advancing, MouseReach reach)
{
    if (m_deferredStart) {
        const DeferredStart deferred = std::move(*m_deferredStart);
        m_deferredStart.reset();
        StartScene(deferred.name, deferred.start);
    }
    // A copy: a command run here may show or remove interfaces.
    const std::map<std::u16string, Scene*> shown = m_shownInterfaces;
    for (const auto& [name, scene] : shown) {
        if (m_shownInterfaces.contains(name) && scene->Update(dt, access, advancing) &&
            access == Scene::MouseAccess::Open)
            access = Scene::MouseAccess::Blocked;
    }
    // Under an interface's button the story sees no click at all, not even as the end of a pause.
    if (reach == MouseReach::Covered)
        access = Scene::MouseAccess::None;
    if (m_current != nullptr && !m_errorShown)
        m_current->Update(dt, access, advancing);
}

void ScenesManager::ApplyPendingNodeChanges()
{
    for (const auto& [name, scene] : m_shownInterfaces)
        scene->ApplyPendingChanges();
    if (m_current != nullptr)
        m_current->ApplyPendingChanges();
}

void ScenesManager::Render()
{
    if (m_errorShown) {
        RenderError();
        return;
    }
    // A thumbnail is of the story, also when the game ends over the save/load screen.
    if (FullScreenLayer* screen = m_snapshotPath.empty() ? ShownScreen() : nullptr)
        screen->Render();
    else
        RenderStory();
    if (m_historyShown)
        m_history->Render();
    if (m_notice != nullptr)
        m_notice->Render();
}

// The scene, the interfaces, the texts and the top menu; a requested thumbnail is taken of this picture before the
// menu is drawn.
void ScenesManager::RenderStory()
{
    if (m_current != nullptr)
        m_current->Render();
    for (const auto& [name, scene] : m_shownInterfaces)
        scene->Render();
    if (m_dialogue != nullptr)
        m_dialogue->Render();
    if (!m_snapshotPath.empty())
        m_snapshotReady = true;
    else if (IsMenuOpen())
        m_menus->RenderTop();
}

FullScreenLayer* ScenesManager::ShownScreen() const
{
    if (m_galleryShown && m_gallery != nullptr)
        return m_gallery;
    if (m_saveLoadShown && m_saveLoad != nullptr)
        return m_saveLoad;
    return nullptr;
}

bool ScenesManager::IsStoryInFront() const
{
    return !m_errorShown && !m_historyShown && !IsMenuOpen() && ShownScreen() == nullptr;
}

bool ScenesManager::IsStoryCurrent() const
{
    return m_current != nullptr && !m_errorShown && (!IsMenuOpen() || m_playerMenuOpen);
}

void ScenesManager::RequestSnapshot(std::string path)
{
    m_snapshotPath = std::move(path);
    m_snapshotReady = false;
    // The thumbnail is taken of a picture drawn for it.
    FrameActivity::Changed();
}

// The frame drawn for the thumbnail has been presented by now; the file is written from it.
void ScenesManager::WriteRequestedSnapshot()
{
    if (m_snapshotPath.empty() || !m_snapshotReady)
        return;
    // Through a temporary file: a thumbnail that replaces an older one (the quick save's) is never seen half
    // written.
    HGE* hge = HgeManager::Interface();
    const std::string temporary = m_snapshotPath + ".tmp";
    if (hge != nullptr &&
        (!hge->System_Snapshot(temporary.c_str()) || std::rename(temporary.c_str(), m_snapshotPath.c_str()) != 0)) {
        hge->System_Log("Cannot write the thumbnail %s", m_snapshotPath.c_str());
        std::remove(temporary.c_str());
    }
    m_snapshotPath.clear();
    m_snapshotReady = false;
    // The menu left out of the thumbnail's picture comes back.
    FrameActivity::Changed();
}

void ScenesManager::ShowGallery()
{
    if (m_gallery == nullptr)
        return;
    m_gallery->Show();
    m_galleryShown = true;
    FrameActivity::Changed();
}

void ScenesManager::HideGallery()
{
    if (m_gallery != nullptr)
        m_gallery->Hide();
    m_galleryShown = false;
    FrameActivity::Changed();
}

void ScenesManager::ShowSaveLoad()
{
    if (m_saveLoad == nullptr)
        return;
    m_saveLoad->Show();
    m_saveLoadShown = true;
    FrameActivity::Changed();
}

void ScenesManager::HideSaveLoad()
{
    if (m_saveLoad != nullptr)
        m_saveLoad->Hide();
    m_saveLoadShown = false;
    FrameActivity::Changed();
}

void ScenesManager::RenderError()
{
    // A missing font is named in the log once, when it is first looked for.
    if (!m_errorFont) {
        m_errorFont = std::make_unique<hgeFont>(kErrorFontFile);
        m_errorFontUsable = m_errorFont->GetTexture() != 0;
    }
    if (m_errorFontUsable) {
        m_errorFont->Render(kErrorX, kErrorY, HGETEXT_LEFT, m_errorLines);
        return;
    }
    ResourceManager* resources = ResourceManager::GetSingletonPtr();
    FontFace* face = resources != nullptr ? resources->GetFontLibrary().GetFace(kFallbackFontFile) : nullptr;
    if (face == nullptr)
        return;
    face->SetColor(0xFFFFFFFF);
    face->SetPixelSize(kFallbackFontSize, kFallbackFontSize);
    // The pen stands on the first line's baseline, one line below the top the bitmap font starts at.
    face->DrawText(m_errorText, kErrorX, kErrorY + kFallbackFontSize);
}

void ScenesManager::DeleteAllScenes()
{
    m_current = nullptr;
    m_shownInterfaces.clear();
    m_deferredStart.reset();
    m_definitionOrder.clear();
    m_scenes.clear();
    m_interfaceScenes.clear();
    m_unnamedScenes.clear();
}

void ScenesManager::ShowError(std::u16string text)
{
    m_errorShown = true;
    FrameActivity::Changed();
    m_errorText = m_errorHint.empty() ? std::move(text) : text + u"\n\n" + m_errorHint;
    m_errorLines = TextCodec::WideToCodePage(m_errorText);
}

void ScenesManager::DismissError()
{
    m_errorShown = false;
    FrameActivity::Changed();
}

std::u16string ScenesManager::ErrorReport(const std::u16string& file, std::int32_t line, const std::u16string& info)
{
    return u"Script error\nFile: " + file + u"\nLine: " + TextCodec::Widen(std::to_string(line)) + u"\nInfo: " + info;
}

void ScenesManager::ReportError(const std::u16string& report)
{
    Trace::Write("error", TextCodec::WideToUtf8(report.substr(0, report.find(u'\n'))));
    HgeManager::Log(TextCodec::WideToUtf8(report));
    if (ScenesManager* scenes = GetSingletonPtr())
        scenes->ShowError(report);
}

} // namespace Vel
