#pragma once

#include "commands/SoundCommand.h"
#include "core/TextCodec.h"
#include "sound/SoundManager.h"

#include <cstdint>
#include <string>

namespace Vel {

// Makes the effects, music and voice louder (positive step) or quieter by step tenths at once, and reports.
// The music follows through its fade; the other channels take the new level when their next sound starts.
class SetVolumeCommand : public SoundCommand
{
public:
    explicit SetVolumeCommand(std::int32_t step) : m_step(step) {}

    [[nodiscard]] std::u16string GetDescription() const override
    {
        return u"Volume-" + TextCodec::Widen(std::to_string(m_step));
    }

private:
    void Apply(SoundManager& sound) override { sound.StepChannelVolumes(static_cast<float>(m_step) * 0.1f); }

    std::int32_t m_step;
};

} // namespace Vel
