#include "platform/GamePads.h"

#include "platform/Hge.h"

#include <SDL.h>

#include <algorithm>

namespace Vel {

namespace {

struct ButtonKey
{
    SDL_GameControllerButton button;
    int key;
};

constexpr ButtonKey kButtons[] = {
    {SDL_CONTROLLER_BUTTON_A, HGEK_PAD_A},
    {SDL_CONTROLLER_BUTTON_B, HGEK_PAD_B},
    {SDL_CONTROLLER_BUTTON_X, HGEK_PAD_X},
    {SDL_CONTROLLER_BUTTON_Y, HGEK_PAD_Y},
    {SDL_CONTROLLER_BUTTON_BACK, HGEK_PAD_BACK},
    {SDL_CONTROLLER_BUTTON_START, HGEK_PAD_START},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, HGEK_PAD_LEFTSHOULDER},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, HGEK_PAD_RIGHTSHOULDER},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, HGEK_PAD_DPUP},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, HGEK_PAD_DPDOWN},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, HGEK_PAD_DPLEFT},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, HGEK_PAD_DPRIGHT},
};

} // namespace

void GamePads::Closer::operator()(_SDL_GameController* pad) const
{
    SDL_GameControllerClose(pad);
}

GamePads::~GamePads()
{
    Stop();
}

bool GamePads::Start(std::string& error)
{
    if (!m_started)
        m_started = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!m_started)
        error = SDL_GetError();
    return m_started;
}

void GamePads::Stop()
{
    m_pads.clear();
    if (m_started)
        SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    m_started = false;
}

void GamePads::Add(int deviceIndex)
{
    if (!m_started || !SDL_IsGameController(deviceIndex))
        return;
    SDL_GameController* pad = SDL_GameControllerOpen(deviceIndex);
    if (pad == nullptr)
        return;
    // SDL reports a pad present at start both as there and as added: it is opened once.
    const auto same = [pad](const auto& open) { return open.get() == pad; };
    if (std::any_of(m_pads.begin(), m_pads.end(), same)) {
        SDL_GameControllerClose(pad);
        return;
    }
    m_pads.emplace_back(pad);
}

void GamePads::Remove(std::int32_t instanceId)
{
    const auto gone = [instanceId](const auto& pad) {
        return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad.get())) == instanceId;
    };
    m_pads.erase(std::remove_if(m_pads.begin(), m_pads.end(), gone), m_pads.end());
}

int GamePads::KeyFromButton(int button)
{
    for (const ButtonKey& entry : kButtons) {
        if (entry.button == button)
            return entry.key;
    }
    return 0;
}

} // namespace Vel
