#include "platform/SdlInput.h"

#include "platform/FrameActivity.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>

namespace Vel {

namespace {

struct KeyPair
{
    SDL_Keycode sdl;
    int hge;
};

constexpr KeyPair kKeys[] = {
    {SDLK_ESCAPE, HGEK_ESCAPE},
    {SDLK_BACKSPACE, HGEK_BACKSPACE},
    {SDLK_TAB, HGEK_TAB},
    {SDLK_RETURN, HGEK_ENTER},
    {SDLK_KP_ENTER, HGEK_KPENTER},
    {SDLK_SPACE, HGEK_SPACE},
    {SDLK_LSHIFT, HGEK_SHIFT},
    {SDLK_RSHIFT, HGEK_SHIFT},
    {SDLK_LCTRL, HGEK_CTRL},
    {SDLK_RCTRL, HGEK_CTRL},
    {SDLK_LALT, HGEK_ALT},
    {SDLK_RALT, HGEK_ALT},
    {SDLK_PAUSE, HGEK_PAUSE},
    {SDLK_CAPSLOCK, HGEK_CAPSLOCK},
    {SDLK_PAGEUP, HGEK_PGUP},
    {SDLK_PAGEDOWN, HGEK_PGDN},
    {SDLK_END, HGEK_END},
    {SDLK_HOME, HGEK_HOME},
    {SDLK_LEFT, HGEK_LEFT},
    {SDLK_UP, HGEK_UP},
    {SDLK_RIGHT, HGEK_RIGHT},
    {SDLK_DOWN, HGEK_DOWN},
    {SDLK_INSERT, HGEK_INSERT},
    {SDLK_DELETE, HGEK_DELETE},
    // Windows numbers for the keypad and the punctuation keys of a US layout.
    {SDLK_KP_MULTIPLY, 0x6A},
    {SDLK_KP_PLUS, 0x6B},
    {SDLK_KP_MINUS, 0x6D},
    {SDLK_KP_PERIOD, 0x6E},
    {SDLK_KP_DIVIDE, 0x6F},
    {SDLK_SEMICOLON, 0xBA},
    {SDLK_EQUALS, 0xBB},
    {SDLK_COMMA, 0xBC},
    {SDLK_MINUS, 0xBD},
    {SDLK_PERIOD, 0xBE},
    {SDLK_SLASH, 0xBF},
    {SDLK_BACKQUOTE, 0xC0},
    {SDLK_LEFTBRACKET, 0xDB},
    {SDLK_BACKSLASH, 0xDC},
    {SDLK_RIGHTBRACKET, 0xDD},
    {SDLK_QUOTE, 0xDE},
};

constexpr int kNumpad0 = 0x60;

int ButtonKey(Uint8 button)
{
    switch (button) {
    case SDL_BUTTON_LEFT:
        return HGEK_LBUTTON;
    case SDL_BUTTON_RIGHT:
        return HGEK_RBUTTON;
    case SDL_BUTTON_MIDDLE:
        return HGEK_MBUTTON;
    default:
        return 0;
    }
}

int LockFlags(Uint16 mod)
{
    return ((mod & KMOD_CAPS) != 0 ? HGEINP_CAPSLOCK : 0) | ((mod & KMOD_NUM) != 0 ? HGEINP_NUMLOCK : 0) |
           ((mod & KMOD_SCROLL) != 0 ? HGEINP_SCROLLLOCK : 0);
}

struct Scale
{
    SDL_Window* window = nullptr;
    float x = 1;
    float y = 1;
};

Scale ScaleFor(std::uint32_t windowId, int screenWidth, int screenHeight)
{
    Scale scale;
    scale.window = SDL_GetWindowFromID(windowId);
    int w = 0;
    int h = 0;
    if (scale.window != nullptr)
        SDL_GetWindowSize(scale.window, &w, &h);
    if (w > 0 && h > 0) {
        scale.x = static_cast<float>(screenWidth) / static_cast<float>(w);
        scale.y = static_cast<float>(screenHeight) / static_cast<float>(h);
    }
    return scale;
}

void MoveTo(InputState& input, const Scale& scale, int x, int y)
{
    input.MouseMove(static_cast<float>(x) * scale.x, static_cast<float>(y) * scale.y);
    // A drag past the edge still reports positions; over the window means having the mouse focus.
    input.SetMouseOver(scale.window != nullptr && SDL_GetMouseFocus() == scale.window);
}

void HandleWindowEvent(InputState& input, const SDL_WindowEvent& event, WindowRequests& requests)
{
    switch (event.event) {
    case SDL_WINDOWEVENT_CLOSE:
        requests.close = true;
        break;
    // Sent for the player's and the window manager's resizing, not for the engine's own size changes.
    case SDL_WINDOWEVENT_RESIZED:
        requests.resizedWidth = event.data1;
        requests.resizedHeight = event.data2;
        FrameActivity::Changed();
        break;
    case SDL_WINDOWEVENT_ENTER:
        input.SetMouseOver(true);
        break;
    case SDL_WINDOWEVENT_LEAVE:
        input.SetMouseOver(false);
        break;
    // The window's picture was lost or its size changed: the screen is drawn again.
    case SDL_WINDOWEVENT_EXPOSED:
    case SDL_WINDOWEVENT_SHOWN:
    case SDL_WINDOWEVENT_RESTORED:
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        FrameActivity::Changed();
        break;
    // Keys released while another window has the keyboard never reach us: forget them all.
    case SDL_WINDOWEVENT_FOCUS_LOST:
        input.ReleaseAll();
        break;
    default:
        break;
    }
}

void Handle(InputState& input, GamePads& pads, const SDL_Event& event, const Scale& scale, WindowRequests& requests)
{
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
        pads.Add(event.cdevice.which);
        break;
    case SDL_CONTROLLERDEVICEREMOVED:
        pads.Remove(event.cdevice.which);
        break;
    case SDL_CONTROLLERBUTTONDOWN:
        input.KeyDown(GamePads::KeyFromButton(event.cbutton.button), 0, true);
        break;
    case SDL_CONTROLLERBUTTONUP:
        input.KeyUp(GamePads::KeyFromButton(event.cbutton.button));
        break;
    case SDL_QUIT:
        requests.close = true;
        break;
    case SDL_WINDOWEVENT:
        HandleWindowEvent(input, event.window, requests);
        break;
    case SDL_KEYDOWN:
        input.KeyDown(SdlInput::KeyFromSdl(event.key.keysym.sym), LockFlags(event.key.keysym.mod), true,
                      event.key.repeat != 0);
        break;
    case SDL_KEYUP:
        input.KeyUp(SdlInput::KeyFromSdl(event.key.keysym.sym));
        break;
    case SDL_MOUSEMOTION:
        MoveTo(input, scale, event.motion.x, event.motion.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
        MoveTo(input, scale, event.button.x, event.button.y);
        input.KeyDown(ButtonKey(event.button.button), 0, true);
        break;
    case SDL_MOUSEBUTTONUP:
        MoveTo(input, scale, event.button.x, event.button.y);
        input.KeyUp(ButtonKey(event.button.button));
        break;
    case SDL_MOUSEWHEEL:
        input.MouseWheel(event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -event.wheel.y : event.wheel.y);
        break;
    default:
        break;
    }
}

} // namespace

WindowRequests SdlInput::Pump(InputState& input, GamePads& pads, std::uint32_t windowId, int screenWidth,
                              int screenHeight)
{
    Scale scale = ScaleFor(windowId, screenWidth, screenHeight);
    WindowRequests requests;
    SDL_Event event;
    while (SDL_PollEvent(&event) != 0)
        Handle(input, pads, event, scale, requests);
    return requests;
}

void SdlInput::WaitForEvent(double seconds, const GamePads& pads)
{
    // Rounded up: waking a little early would only find nothing due yet and go to sleep again.
    constexpr double kLongestWait = 60.0;
    if (pads.AnyOpen()) {
        // A button pressed while waiting is seen within a frame; a hundred wake-ups a second cost far less than
        // SDL's thousand.
        constexpr Uint32 kStep = 10;
        const Uint64 start = SDL_GetTicks64();
        const Uint64 length = seconds >= kLongestWait ? UINT64_MAX : static_cast<Uint64>(std::ceil(seconds * 1000.0));
        for (;;) {
            SDL_PumpEvents();
            if (SDL_HasEvents(SDL_FIRSTEVENT, SDL_LASTEVENT) == SDL_TRUE)
                return;
            const Uint64 waited = SDL_GetTicks64() - start;
            if (waited >= length)
                return;
            SDL_Delay(static_cast<Uint32>(std::min<Uint64>(kStep, length - waited)));
        }
    }
    if (seconds >= kLongestWait) {
        SDL_WaitEvent(nullptr);
        return;
    }
    SDL_WaitEventTimeout(nullptr, static_cast<int>(std::ceil(seconds * 1000.0)));
}

void SdlInput::ReadMouse(InputState& input, std::uint32_t windowId, int screenWidth, int screenHeight)
{
    Scale scale = ScaleFor(windowId, screenWidth, screenHeight);
    if (scale.window == nullptr || SDL_GetMouseFocus() != scale.window)
        return;
    int x = 0;
    int y = 0;
    SDL_GetMouseState(&x, &y);
    MoveTo(input, scale, x, y);
}

int SdlInput::KeyFromSdl(std::int32_t keycode)
{
    if (keycode >= SDLK_a && keycode <= SDLK_z)
        return HGEK_A + (keycode - SDLK_a);
    if (keycode >= SDLK_0 && keycode <= SDLK_9)
        return HGEK_0 + (keycode - SDLK_0);
    if (keycode >= SDLK_F1 && keycode <= SDLK_F12)
        return HGEK_F1 + (keycode - SDLK_F1);
    if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9)
        return kNumpad0 + 1 + (keycode - SDLK_KP_1);
    if (keycode == SDLK_KP_0)
        return kNumpad0;
    for (const KeyPair& pair : kKeys) {
        if (pair.sdl == keycode)
            return pair.hge;
    }
    return 0;
}

} // namespace Vel
