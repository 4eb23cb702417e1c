#include "platform/Window.h"

#include <SDL.h>
#include <SDL_image.h>

namespace Vel {

namespace {

constexpr Uint32 kProbeColour = 0xFFFF00FF;
constexpr int kMinimumWidth = 160;
constexpr int kMinimumHeight = 120;

struct DesktopSize
{
    int w = 0;
    int h = 0;
};

DesktopSize DesktopOf(SDL_Window* window)
{
    SDL_DisplayMode mode;
    int display = SDL_GetWindowDisplayIndex(window);
    if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0)
        return {};
    return {mode.w, mode.h};
}

// Lets the window system act on a size change: the drawable follows only after a present and its events.
void Settle(SDL_Renderer* renderer)
{
    if (renderer != nullptr)
        SDL_RenderPresent(renderer);
    SDL_PumpEvents();
    SDL_Delay(20);
    SDL_PumpEvents();
}

// Whether what the renderer draws really reaches the desktop's far corner. SDL reports a desktop-sized window
// even where its full-screen request was never carried out (an X server without a window manager); drawing and
// reading back the last pixel is the one check that tells.
bool ReachesCorner(SDL_Renderer* renderer, const DesktopSize& desktop)
{
    SDL_Texture* target = SDL_GetRenderTarget(renderer);
    SDL_SetRenderTarget(renderer, nullptr);
    bool reached = false;
    for (int attempt = 0; attempt < 3 && !reached; ++attempt) {
        Settle(renderer);
        SDL_SetRenderDrawColor(renderer, 0xFF, 0x00, 0xFF, 0xFF);
        SDL_RenderClear(renderer);
        Uint32 pixel = 0;
        SDL_Rect corner{desktop.w - 1, desktop.h - 1, 1, 1};
        reached =
            SDL_RenderReadPixels(renderer, &corner, SDL_PIXELFORMAT_ARGB8888, &pixel, 4) == 0 && pixel == kProbeColour;
    }
    SDL_SetRenderDrawColor(renderer, 0, 0, 0, 0xFF);
    SDL_RenderClear(renderer);
    SDL_SetRenderTarget(renderer, target);
    return reached;
}

} // namespace

Window::~Window()
{
    Close();
}

bool Window::Open(const std::string& title, int width, int height, std::string& error)
{
    Close();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("cannot start the SDL video subsystem: ") + SDL_GetError();
        return false;
    }
    m_videoStarted = true;
    SDL_Window* window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                                          SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (window == nullptr) {
        error = std::string("cannot create the window: ") + SDL_GetError();
        Close();
        return false;
    }
    m_id = SDL_GetWindowID(window);
    // Small enough for any game to be scaled down into, large enough to keep its text a blur rather than nothing.
    SDL_SetWindowMinimumSize(window, kMinimumWidth, kMinimumHeight);
    m_width = width;
    m_height = height;
    return true;
}

void Window::Close()
{
    if (SDL_Window* window = SDL_GetWindowFromID(m_id))
        SDL_DestroyWindow(window);
    m_id = 0;
    if (m_videoStarted)
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    m_videoStarted = false;
}

void Window::SetMode(bool windowed)
{
    SDL_Window* window = SDL_GetWindowFromID(m_id);
    if (window == nullptr)
        return;
    if (!windowed) {
        CoverDesktop();
        return;
    }
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowBordered(window, SDL_TRUE);
    SDL_SetWindowSize(window, m_width, m_height);
    int display = SDL_GetWindowDisplayIndex(window);
    SDL_SetWindowPosition(window, SDL_WINDOWPOS_CENTERED_DISPLAY(display < 0 ? 0 : display),
                          SDL_WINDOWPOS_CENTERED_DISPLAY(display < 0 ? 0 : display));
    SDL_ShowWindow(window);
}

void Window::CoverDesktop()
{
    SDL_Window* window = SDL_GetWindowFromID(m_id);
    SDL_ShowWindow(window);
    SDL_SetWindowFullscreen(window, SDL_WINDOW_FULLSCREEN_DESKTOP);
    SDL_Renderer* renderer = SDL_GetRenderer(window);
    DesktopSize desktop = DesktopOf(window);
    if (renderer == nullptr || desktop.w <= 0 || ReachesCorner(renderer, desktop))
        return;
    // Full screen did not take: a borderless window over the whole desktop looks the same.
    SDL_SetWindowFullscreen(window, 0);
    SDL_SetWindowBordered(window, SDL_FALSE);
    SDL_SetWindowPosition(window, 0, 0);
    SDL_SetWindowSize(window, desktop.w, desktop.h);
    SDL_RaiseWindow(window);
    Settle(renderer);
}

void Window::KeepWindowedSize(int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    m_width = width;
    m_height = height;
}

void Window::Resize(int width, int height)
{
    SDL_Window* window = SDL_GetWindowFromID(m_id);
    if (window == nullptr || (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0)
        return;
    SDL_SetWindowSize(window, width, height);
}

void Window::SetTitle(const std::string& title)
{
    if (SDL_Window* window = SDL_GetWindowFromID(m_id))
        SDL_SetWindowTitle(window, title.c_str());
}

bool Window::SetIcon(const void* data, std::size_t size)
{
    SDL_Window* window = SDL_GetWindowFromID(m_id);
    if (window == nullptr || data == nullptr || size == 0 || size > INT32_MAX)
        return false;
    SDL_Surface* icon = IMG_Load_RW(SDL_RWFromConstMem(data, static_cast<int>(size)), 1);
    if (icon == nullptr)
        return false;
    SDL_SetWindowIcon(window, icon);
    SDL_FreeSurface(icon);
    return true;
}

void Window::SetCursorVisible(bool visible)
{
    if (m_videoStarted)
        SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

bool Window::CanShow() const
{
    SDL_Window* window = SDL_GetWindowFromID(m_id);
    return window == nullptr || (SDL_GetWindowFlags(window) & (SDL_WINDOW_HIDDEN | SDL_WINDOW_MINIMIZED)) == 0;
}

int Window::RefreshRate() const
{
    SDL_Window* window = SDL_GetWindowFromID(m_id);
    SDL_DisplayMode mode;
    int display = window == nullptr ? -1 : SDL_GetWindowDisplayIndex(window);
    if (display < 0 || SDL_GetDesktopDisplayMode(display, &mode) != 0 || mode.refresh_rate <= 0)
        return 60;
    return mode.refresh_rate;
}

} // namespace Vel
