#pragma once

#include "scene/Command.h"

namespace Vel {

class SoundManager;

// The base of the sound commands: each hands one request to the sound manager and reports at once, never waiting
// for the sound. Without a sound manager the request is dropped and the command still reports.
class SoundCommand : public Command
{
public:
    void Execute(Scene& scene) final;

private:
    virtual void Apply(SoundManager& sound) = 0;
};

} // namespace Vel
