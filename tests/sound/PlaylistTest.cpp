#include "resources/Playlist.h"

#include "HeadlessHge.h"
#include "resources/ResourceManager.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace Vel {
namespace {

TEST(PlaylistTest, ShuffledTracksAreDrawnFromTheWholeListAndMayRepeat)
{
    TestTools::HeadlessHge hge;
    Playlist one;
    one.SetShuffle(true);
    one.AddTrack(u"only.ogg");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(one.NextTrack(), u"only.ogg");

    Playlist four;
    four.SetShuffle(true);
    for (const char16_t* track : {u"a", u"b", u"c", u"d"})
        four.AddTrack(track);
    std::set<std::u16string> drawn;
    bool repeated = false;
    std::u16string previous;
    for (int i = 0; i < 200; ++i) {
        const std::u16string track = four.NextTrack();
        ASSERT_GE(four.GetCurrent(), 0);
        ASSERT_LT(four.GetCurrent(), 4);
        EXPECT_EQ(track, four.GetTracks()[static_cast<std::size_t>(four.GetCurrent())]);
        repeated = repeated || track == previous;
        previous = track;
        drawn.insert(track);
    }
    EXPECT_EQ(drawn.size(), 4u);
    EXPECT_TRUE(repeated) << "200 draws from four tracks without one repeat";
}

TEST(PlaylistTest, TheRegistryKeepsOnePlaylistPerExactName)
{
    TestTools::HeadlessHge hge;
    ResourceManager resources;
    Playlist* day = resources.GetPlaylist(u"day");
    ASSERT_NE(day, nullptr);
    EXPECT_TRUE(day->GetTracks().empty());
    EXPECT_FALSE(day->IsShuffled());
    day->AddTrack(u"morning.ogg");
    EXPECT_EQ(resources.GetPlaylist(u"day"), day);
    EXPECT_NE(resources.GetPlaylist(u"Day"), day);
    EXPECT_EQ(resources.GetPlaylist(u"day")->GetTracks().size(), 1u);
    EXPECT_EQ(resources.GetPlaylist(u"night")->NextTrack(), u"") << "an empty playlist has no next track";
    EXPECT_EQ(resources.GetPlaylist(u"night")->GetCurrent(), -1);
}

} // namespace
} // namespace Vel
