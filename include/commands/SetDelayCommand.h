#pragma once

#include "scene/Command.h"

#include <string>

namespace Vel {

// Waits for a time, or for a click (a pause), through a sleep animator on the scene's hidden dummy node: the
// animator dies with the node when the scene is reset, so a reset scene's delay never reports. A waiting delay
// reports from the frame update that ends it, never inside Execute; without wait it reports at once.
class SetDelayCommand : public Command
{
public:
    // Seconds; a negative delay is a pause that lasts until a click.
    explicit SetDelayCommand(float delay) : m_delay(delay) {}

    void Execute(Scene& scene) override;
    // "Pause" for a pause, else "Delay-" and the seconds.
    [[nodiscard]] std::u16string GetDescription() const override;

    [[nodiscard]] bool IsPause() const { return m_delay < 0.0f; }

private:
    void OnSleepFinished();

    float m_delay;
};

} // namespace Vel
