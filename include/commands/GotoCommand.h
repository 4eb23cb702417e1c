#pragma once

#include "scene/Command.h"

#include <cstdint>
#include <string>
#include <utility>

namespace Vel {

// Jumps to another story scene, which starts afresh; no interface scene stays shown across the jump. It never
// reports: the scene it belonged to stops running. A scene that does not exist is a script error naming the file and line of the statement, since a story that jumps
// nowhere would otherwise stand still for ever.
class GotoCommand : public Command
{
public:
    GotoCommand(std::u16string sceneName, std::u16string file, std::int32_t line)
        : m_sceneName(std::move(sceneName)), m_file(std::move(file)), m_line(line)
    {
    }

    void Execute(Scene& scene) override;
    [[nodiscard]] std::u16string GetDescription() const override { return u"Goto-" + m_sceneName; }

private:
    std::u16string m_sceneName;
    std::u16string m_file; // where the statement stands, for the error report
    std::int32_t m_line;
};

} // namespace Vel
