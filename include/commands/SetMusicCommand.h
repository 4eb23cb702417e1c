#pragma once

#include "commands/SoundCommand.h"
#include "sound/SoundManager.h"

#include <string>
#include <utility>

namespace Vel {

// Plays a music track, faded in over the old one when fade is set, and reports at once.
class SetMusicCommand : public SoundCommand
{
public:
    SetMusicCommand(std::u16string file, bool fade) : m_file(std::move(file)), m_fade(fade) {}

    [[nodiscard]] std::u16string GetDescription() const override { return u"Music-" + m_file; }

private:
    void Apply(SoundManager& sound) override { sound.PlayMusic(m_file, m_fade); }

    std::u16string m_file;
    bool m_fade;
};

} // namespace Vel
