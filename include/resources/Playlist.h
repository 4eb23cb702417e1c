#pragma once

// A named list of music files, in the order the script added them. The resource registry keeps playlists by name;
// the sound manager asks the current one for its next track whenever a track ends.

#include <cstdint>
#include <string>
#include <vector>

namespace Vel {

class Playlist
{
public:
    Playlist() = default;
    virtual ~Playlist();

    void AddTrack(std::u16string name);
    // The next file to play: the following track, wrapping after the last, or a random one when shuffled (the same
    // track may come twice in a row). Empty for an empty playlist.
    [[nodiscard]] std::u16string NextTrack();

    void SetShuffle(bool shuffle) { m_shuffle = shuffle; }
    [[nodiscard]] const std::vector<std::u16string>& GetTracks() const { return m_tracks; }
    // Index of the last track handed out; -1 before the first.
    [[nodiscard]] std::int32_t GetCurrent() const { return m_current; }

private:
    std::vector<std::u16string> m_tracks;
    bool m_shuffle = false;
    std::int32_t m_current = -1;
};

} // namespace Vel
