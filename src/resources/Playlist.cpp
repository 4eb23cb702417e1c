#include "resources/Playlist.h"

#include "platform/Hge.h"

#include <utility>

namespace Vel {

Playlist::~Playlist() = default;

void Playlist::AddTrack(std::u16string name)
{
    m_tracks.push_back(std::move(name));
}

std::u16string Playlist::NextTrack()
{
    if (m_tracks.empty())
        return {};
    const auto count = static_cast<std::int32_t>(m_tracks.size());
    if (m_shuffle) {
        HGE* hge = hgeCreate(HGE_VERSION);
        m_current = hge->Random_Int(0, count - 1);
        hge->Release();
    } else {
        m_current = (m_current + 1) % count;
    }
    // Any answer of the random source outside the list falls back to the first track rather than past the end.
    if (m_current < 0 || m_current >= count)
        m_current = 0;
    return m_tracks[static_cast<std::size_t>(m_current)];
}

} // namespace Vel
