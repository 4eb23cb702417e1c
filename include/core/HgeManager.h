#pragma once

// Owns the one 2D library interface of the process. Start-up creates it before anything draws or loads, mounts the
// game's archives through it, and initialises the display from the settings the system script wrote; every other
// part reaches the interface through GetHge(). The menu functions "window" and "fullscreen" switch the mode here.

#include "core/DisplaySettings.h"
#include "core/VelSingleton.h"
#include "platform/Hge.h"

#include <string>

namespace Vel {

class HgeManager : public Singleton<HgeManager>
{
public:
    // Every data archive of a game is protected with this password.
    static constexpr const char* kArchivePassword = "mirtavoquens";

    // Creates the interface, names "preferences.ini" as the ini file and logFile as the log.
    explicit HgeManager(const std::string& logFile = "engine.log");
    virtual ~HgeManager();

    // Chooses the display mode from the settings and the desktop, sets the window states and opens the window.
    [[nodiscard]] bool Init();
    // The interface functions "window" and "fullscreen": the screen and the display settings change together.
    void SetWindowed();
    void SetFullscreen();
    // F11 and Alt+Enter: the other of the two, through the same switch.
    void ToggleScreenMode();
    // Once a frame: a window the player resized gives the display its new screen size, and the player's
    // preferences the size to open at next time.
    void FollowWindowSize();

    // Attaches every archive listed in "preferences.ini"; one that cannot be attached is logged with its name
    // and the reason, and the rest are still attached. False when any failed.
    bool MountArchives();

    [[nodiscard]] HGE* GetHge() const { return m_hge; }
    // The one manager's interface; nullptr without a manager or after ReleaseHge, as in tools and tests.
    [[nodiscard]] static HGE* Interface();
    // One line in the 2D library's log; without an interface there is nowhere to write, and nothing is.
    static void Log(const std::string& line);
    // Shuts the interface down and drops it; GetHge() is nullptr afterwards.
    void ReleaseHge();

private:
    enum class ScreenMode
    {
        Windowed,
        Fullscreen,
    };

    void SwitchMode(ScreenMode mode);
    static void RememberedWindowSize(DisplaySettings& display, int desktopWidth, int desktopHeight);
    HGE* m_hge = nullptr; // one reference from hgeCreate, dropped by ReleaseHge
};

} // namespace Vel
