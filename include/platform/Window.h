#pragma once

// The desktop window the 2D library draws into: a window the player may resize and maximise, or covering the
// desktop, switchable while the game runs. Owns the SDL video subsystem for as long as it is open. The renderer is made for it by
// Graphics, which finds the window by Id().

#include <cstddef>
#include <cstdint>
#include <string>

namespace Vel {

class Window
{
public:
    Window() = default;
    ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Creates the window hidden and resizable, width x height pixels; SetMode shows it. False with the cause in error.
    [[nodiscard]] bool Open(const std::string& title, int width, int height, std::string& error);
    void Close();
    [[nodiscard]] bool IsOpen() const { return m_id != 0; }
    // The window's identity for the renderer and the event pump; 0 when closed.
    [[nodiscard]] std::uint32_t Id() const { return m_id; }

    // Windowed: a framed window of the size last kept (at first the opened one), centred. Otherwise the window covers the desktop at the
    // desktop's own size. Call once the renderer exists: covering the desktop is checked by drawing.
    void SetMode(bool windowed);
    // The size windowed mode comes back to; the player's resizing reports it here.
    void KeepWindowedSize(int width, int height);
    // Resizes a window that is not full screen, as the player would.
    void Resize(int width, int height);
    void SetTitle(const std::string& title);
    // The window icon from an image file in memory; false when it cannot be decoded.
    bool SetIcon(const void* data, std::size_t size);
    void SetCursorVisible(bool visible);
    // Whether a picture drawn now can be seen: false while the window is hidden or minimised (true without a window,
    // where the screen picture itself is the result).
    [[nodiscard]] bool CanShow() const;
    // Refresh rate of the window's display in hertz, 60 when unknown.
    [[nodiscard]] int RefreshRate() const;

private:
    void CoverDesktop();

    std::uint32_t m_id = 0;
    int m_width = 0;
    int m_height = 0;
    bool m_videoStarted = false;
};

} // namespace Vel
