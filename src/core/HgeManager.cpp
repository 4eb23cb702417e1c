#include "core/HgeManager.h"

#include "core/DisplaySettings.h"
#include "core/PlayerSettings.h"
#include "core/TextCodec.h"
#include "platform/Os.h"

#include <algorithm>
#include <string>

namespace Vel {

HgeManager::HgeManager(const std::string& logFile) : m_hge(hgeCreate(HGE_VERSION))
{
    m_hge->System_SetState(HGE_INIFILE, "preferences.ini");
    // The log is named before Init because mounting the archives, which comes first, reports into it.
    m_hge->System_SetState(HGE_LOGFILE, logFile.c_str());
}

HgeManager::~HgeManager()
{
    ReleaseHge();
}

void HgeManager::ReleaseHge()
{
    if (!m_hge)
        return;
    m_hge->Release();
    m_hge = nullptr;
}

HGE* HgeManager::Interface()
{
    const HgeManager* manager = GetSingletonPtr();
    return manager != nullptr ? manager->GetHge() : nullptr;
}

void HgeManager::Log(const std::string& line)
{
    if (HGE* hge = Interface())
        hge->System_Log("%s", line.c_str());
}

bool HgeManager::Init()
{
    DisplaySettings& display = TheDisplaySettings();
    int desktopWidth = 0;
    int desktopHeight = 0;
    const bool desktopKnown = Os::DesktopSize(desktopWidth, desktopHeight);
    if (display.fullscreen != 0 && !desktopKnown) {
        m_hge->System_Log("Cannot read the desktop size; opening a window instead");
        display.fullscreen = 0;
    }
    RememberedWindowSize(display, desktopKnown ? desktopWidth : 0, desktopKnown ? desktopHeight : 0);
    ChooseDisplayMode(display, desktopWidth, desktopHeight);

    m_hge->System_SetState(HGE_WINDOWED, display.fullscreen == 0);
    m_hge->System_SetState(HGE_SCREENWIDTH, display.screenWidth);
    m_hge->System_SetState(HGE_SCREENHEIGHT, display.screenHeight);
    m_hge->System_SetState(HGE_WINDOWWIDTH, display.windowWidth > 0 ? display.windowWidth : display.gameWidth);
    m_hge->System_SetState(HGE_WINDOWHEIGHT, display.windowHeight > 0 ? display.windowHeight : display.gameHeight);
    m_hge->System_SetState(HGE_TITLE, TextCodec::WideToUtf8(TheGameNames().title).c_str());
    m_hge->System_SetState(HGE_FPS, HGEFPS_VSYNC);
    m_hge->System_SetState(HGE_SCREENBPP, 32);
    m_hge->System_SetState(HGE_SHOWSPLASH, false);
    m_hge->System_SetState(HGE_HIDEMOUSE, false);
    m_hge->System_SetState(HGE_USESOUND, false);
    m_hge->System_SetState(HGE_ICON, "icon.png");
    return m_hge->System_Initiate();
}

// The window opens at the size the player left it, never larger than the desktop (another, smaller screen may be
// the desktop now).
void HgeManager::RememberedWindowSize(DisplaySettings& display, int desktopWidth, int desktopHeight)
{
    const PlayerSettings* settings = PlayerSettings::GetSingletonPtr();
    if (settings == nullptr || settings->Get().windowWidth <= 0 || settings->Get().windowHeight <= 0)
        return;
    display.windowWidth = settings->Get().windowWidth;
    display.windowHeight = settings->Get().windowHeight;
    if (desktopWidth > 0 && desktopHeight > 0) {
        display.windowWidth = std::min(display.windowWidth, desktopWidth);
        display.windowHeight = std::min(display.windowHeight, desktopHeight);
    }
}

void HgeManager::SetWindowed()
{
    SwitchMode(ScreenMode::Windowed);
}

void HgeManager::SetFullscreen()
{
    SwitchMode(ScreenMode::Fullscreen);
}

void HgeManager::ToggleScreenMode()
{
    SwitchMode(TheDisplaySettings().fullscreen != 0 ? ScreenMode::Windowed : ScreenMode::Fullscreen);
}

void HgeManager::FollowWindowSize()
{
    DisplaySettings& display = TheDisplaySettings();
    if (display.fullscreen != 0)
        return;
    const int width = m_hge->System_GetState(HGE_SCREENWIDTH);
    const int height = m_hge->System_GetState(HGE_SCREENHEIGHT);
    if (width == display.screenWidth && height == display.screenHeight)
        return;
    display.screenWidth = display.windowWidth = width;
    display.screenHeight = display.windowHeight = height;
    if (PlayerSettings* settings = PlayerSettings::GetSingletonPtr())
        settings->SetWindowSize(width, height);
}

// The display settings follow the switch, so the game's picture is scaled to fit the new screen (with bars where the
// shapes differ), and the mouse is mapped back through the same rectangle.
void HgeManager::SwitchMode(ScreenMode mode)
{
    const bool fullscreen = mode == ScreenMode::Fullscreen;
    DisplaySettings& display = TheDisplaySettings();
    int desktopWidth = 0;
    int desktopHeight = 0;
    if (fullscreen && !Os::DesktopSize(desktopWidth, desktopHeight)) {
        m_hge->System_Log("Cannot read the desktop size; the game stays in its window");
        return;
    }
    display.fullscreen = fullscreen ? 1 : 0;
    if (PlayerSettings* settings = PlayerSettings::GetSingletonPtr())
        settings->SetFullscreen(fullscreen);
    ChooseDisplayMode(display, desktopWidth, desktopHeight);
    m_hge->System_SetState(HGE_WINDOWED, !fullscreen);
    m_hge->System_SetState(HGE_SCREENWIDTH, display.screenWidth);
    m_hge->System_SetState(HGE_SCREENHEIGHT, display.screenHeight);
}

bool HgeManager::MountArchives()
{
    bool allAttached = true;
    // Keys "1", "2", ... until the first missing one; an archive that fails to attach does not hide the ones
    // after it, because a game may still run from the loose files and the remaining archives.
    for (int index = 1;; ++index) {
        const std::string key = std::to_string(index);
        const std::string name = m_hge->Ini_GetString("archives", key.c_str(), "");
        if (name.empty())
            break;
        if (!m_hge->Resource_AttachPack(name.c_str(), kArchivePassword))
            allAttached = false;
    }
    return allAttached;
}

} // namespace Vel
