#pragma once

#include "scene/Command.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace Vel {

// Takes things off the stage by name. The target is tried, in this order, as a node of the running scene, as a
// shown interface scene, as "layer:N" (the current scene's layer N loses its draw list; text that is no number
// means layer 0), and as one of the words "all", "interface", "characters", "bg", "animations", "objects", "text"
// and "playlist". Anything else does nothing. The command always reports at once; after "objects" the scene has
// been reset, so the report goes nowhere and the scene's list stops.
class ClearCommand : public Command
{
public:
    // The target is kept with white space trimmed from both ends.
    explicit ClearCommand(std::u16string_view target);

    void Execute(Scene& scene) override;
    [[nodiscard]] std::u16string GetDescription() const override { return u"Clear-" + m_target; }

    // The layer a "layer:N" target names; nothing for other targets.
    [[nodiscard]] std::optional<std::int32_t> GetLayer() const;

private:
    void ClearNamed(Scene& scene) const;

    std::u16string m_target;
};

} // namespace Vel
