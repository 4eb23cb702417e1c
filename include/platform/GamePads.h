#pragma once

// The game controllers plugged in, through SDL's game controller interface, which gives every known pad the same
// button names (A at the bottom, B on the right, ...). Pads come and go while the game runs: SDL reports each one
// present at start and each one plugged in later as added, and the frame loop opens it here. Their buttons reach the
// engine as the HGEK_PAD_ keys.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct _SDL_GameController;

namespace Vel {

class GamePads
{
public:
    GamePads() = default;
    ~GamePads();
    GamePads(const GamePads&) = delete;
    GamePads& operator=(const GamePads&) = delete;

    // Starts SDL's game controller subsystem; false with SDL's reason when it cannot (the game plays without pads).
    bool Start(std::string& error);
    void Stop();

    // SDL's device index of a pad plugged in, and the instance id of one pulled out.
    void Add(int deviceIndex);
    void Remove(std::int32_t instanceId);
    [[nodiscard]] bool AnyOpen() const { return !m_pads.empty(); }

    // The HGEK_PAD_ key of an SDL game controller button, 0 for a button the engine does not use.
    [[nodiscard]] static int KeyFromButton(int button);

private:
    struct Closer
    {
        void operator()(_SDL_GameController* pad) const;
    };

    std::vector<std::unique_ptr<_SDL_GameController, Closer>> m_pads;
    bool m_started = false;
};

} // namespace Vel
