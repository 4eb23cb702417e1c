#pragma once

// The few services of the desktop the engine needs besides the window: the user's documents folder, the desktop
// size that full screen covers, and handing an address to the desktop's opener. Start-up and the launch command
// call these.

#include <string>

namespace Vel {

class Os
{
public:
    // XDG_DOCUMENTS_DIR of the user's "user-dirs.dirs" ($XDG_CONFIG_HOME or ~/.config), $HOME expanded; otherwise
    // ~/Documents. UTF-8, without a trailing '/'.
    [[nodiscard]] static std::string DocumentsFolder();

    // The desktop size in pixels: the platform options' size when headless, else the primary display's desktop
    // mode. False, leaving w and h alone, when no display can be asked.
    [[nodiscard]] static bool DesktopSize(int& w, int& h);

    // Starts "xdg-open TEXT" without a shell and without waiting for it. Refuses an empty text and one starting
    // with '-' (it would be read as an option). True when the opener was started.
    static bool Launch(const std::string& text);
};

} // namespace Vel
