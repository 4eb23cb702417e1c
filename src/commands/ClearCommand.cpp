#include "commands/ClearCommand.h"

#include "core/TextCodec.h"
#include "dialogue/DialogManager.h"
#include "resources/ResourceManager.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "sound/SoundManager.h"

#include <Poco/NumberParser.h>

namespace Vel {

namespace {

constexpr std::u16string_view kLayerPrefix = u"layer:";

// Layer commands act on the story scene on screen, which is the scene itself unless an interface runs them.
Scene& CurrentStage(Scene& scene)
{
    ScenesManager* scenes = ScenesManager::GetSingletonPtr();
    if (scenes != nullptr && scenes->GetCurrentScene() != nullptr)
        return *scenes->GetCurrentScene();
    return scene;
}

void ClearInterfaces()
{
    if (ScenesManager* scenes = ScenesManager::GetSingletonPtr())
        scenes->ClearInterfaces();
}

void HideTexts()
{
    if (DialogManager* dialogue = DialogManager::GetSingletonPtr())
        dialogue->HideAll();
}

void ClearEverything(Scene& scene)
{
    scene.ClearAll();
    HideTexts();
    ClearInterfaces();
    if (ResourceManager* resources = ResourceManager::GetSingletonPtr()) {
        resources->HideAllDialogs();
        resources->UnloadAll();
    }
}

} // namespace

ClearCommand::ClearCommand(std::u16string_view target) : m_target(TrimBlanks(target)) {}

std::optional<std::int32_t> ClearCommand::GetLayer() const
{
    const std::size_t prefix = m_target.find(kLayerPrefix);
    if (prefix == std::u16string::npos)
        return std::nullopt;
    int layer = 0;
    const std::string number = TextCodec::WideToUtf8(m_target.substr(prefix + kLayerPrefix.size()));
    if (!Poco::NumberParser::tryParse(number, layer))
        layer = 0;
    return layer;
}

void ClearCommand::Execute(Scene& scene)
{
    ScenesManager* scenes = ScenesManager::GetSingletonPtr();
    if (scene.FindNode(m_target) != nullptr) {
        scene.RemoveNode(m_target);
    } else if (scenes == nullptr || !scenes->RemoveInterface(m_target)) {
        if (const std::optional<std::int32_t> layer = GetLayer())
            CurrentStage(scene).ClearLayer(*layer);
        else
            ClearNamed(scene);
    }
    Complete();
}

void ClearCommand::ClearNamed(Scene& scene) const
{
    // "playlist" fades the music out and leaves no playlist current, so nothing follows the track until the script
    // plays music again.
    if (m_target == u"all")
        ClearEverything(scene);
    else if (m_target == u"interface")
        ClearInterfaces();
    else if (m_target == u"characters")
        scene.RemoveGroup(u"character");
    else if (m_target == u"bg")
        scene.RemoveGroup(u"bg");
    else if (m_target == u"animations")
        scene.RemoveGroup(u"animation");
    else if (m_target == u"objects")
        scene.Reset();
    else if (m_target == u"text")
        HideTexts();
    else if (m_target == u"playlist" && SoundManager::GetSingletonPtr() != nullptr)
        SoundManager::GetSingleton().ClearPlaylist();
}

} // namespace Vel
