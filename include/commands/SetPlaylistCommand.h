#pragma once

#include "commands/SoundCommand.h"
#include "sound/SoundManager.h"

#include <string>
#include <utility>

namespace Vel {

// Makes the named playlist the current one and plays its next track; reports at once.
class SetPlaylistCommand : public SoundCommand
{
public:
    SetPlaylistCommand(std::u16string name, bool fade) : m_name(std::move(name)), m_fade(fade) {}

    [[nodiscard]] std::u16string GetDescription() const override { return u"Playlist-" + m_name; }

private:
    void Apply(SoundManager& sound) override { sound.SetPlaylist(m_name, m_fade); }

    std::u16string m_name;
    bool m_fade;
};

} // namespace Vel
