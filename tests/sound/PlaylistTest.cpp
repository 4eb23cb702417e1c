#include "resources/Playlist.h"

#include "HeadlessHge.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace Vel {
namespace {

TEST(PlaylistTest, ShuffledTracksAreDrawnFromTheWholeListAndMayRepeat)
{
    TestTools::HeadlessHge hge;
    // A single shuffled track playing again and again is shown by the sound manager's tests.
    EXPECT_EQ(Playlist().NextTrack(), u"") << "an empty playlist has no next track";
    Playlist four;
    four.SetShuffle(true);
    for (const char16_t* track : {u"a", u"b", u"c", u"d"})
        four.AddTrack(track);
    std::set<std::u16string> drawn;
    std::u16string previous;
    bool repeated = false;
    for (int i = 0; i < 200; ++i) {
        const std::u16string track = four.NextTrack();
        repeated = repeated || track == previous;
        drawn.insert(previous = track);
    }
    EXPECT_EQ(drawn.size(), 4u);
    EXPECT_TRUE(repeated) << "200 draws from four tracks without one repeat";
}

} // namespace
} // namespace Vel
