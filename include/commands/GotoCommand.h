#pragma once

#include "scene/Command.h"

#include <string>

namespace Vel {

// Jumps to another story scene, which starts afresh; no interface scene stays shown across the jump. It never
// reports: the scene it belonged to stops running.
class GotoCommand : public Command
{
public:
    explicit GotoCommand(std::u16string sceneName) : m_sceneName(std::move(sceneName)) {}

    void Execute(Scene& scene) override;

private:
    std::u16string m_sceneName;
};

} // namespace Vel
