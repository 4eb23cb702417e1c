#pragma once

#include "commands/SoundCommand.h"
#include "sound/SoundManager.h"

namespace Vel {

// Pauses the music where it is (mute) or resumes it, and reports at once. A pause rather than a stop: a stopped
// track would be followed by the playlist's next one.
class MuteCommand : public SoundCommand
{
public:
    explicit MuteCommand(bool mute) : m_mute(mute) {}

    [[nodiscard]] bool IsMute() const { return m_mute; }

    [[nodiscard]] std::u16string GetDescription() const override { return m_mute ? u"Mute-on" : u"Mute-off"; }

private:
    void Apply(SoundManager& sound) override { sound.MuteMusic(m_mute); }

    bool m_mute;
};

} // namespace Vel
