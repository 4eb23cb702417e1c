#pragma once

#include "commands/SoundCommand.h"
#include "scene/PlayModes.h"
#include "sound/SoundManager.h"

#include <string>
#include <utility>

namespace Vel {

// Plays a sound effect once and reports at once, without waiting for it.
class SetSfxCommand : public SoundCommand
{
public:
    explicit SetSfxCommand(std::u16string file) : m_file(std::move(file)) {}

    [[nodiscard]] std::u16string GetDescription() const override { return u"Sfx-" + m_file; }

private:
    // An effect started while skipping would only be noise.
    void Apply(SoundManager& sound) override
    {
        if (!PlayModes::Get().IsSkipping())
            sound.PlaySfx(m_file);
    }

    std::u16string m_file;
};

} // namespace Vel
