// End-to-end run of a conversation: a character speaks two voiced lines through its dialog (name box, text box,
// continue picture, avatar, speaking pose), a plain text asks, and a choice of two doors leads to one of two scenes.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using namespace Vel::TestTools;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr std::uint32_t kIndicator = 0x00FFFF; // more.png, the continue picture
constexpr std::uint32_t kSpeech = 0xFF00FF;    // the font's letters in the white speech style
constexpr std::uint32_t kName = 0xFF0000;      // the same letters in the yellow name style

// How many pixels of row y in [x0, x1) have the colour.
int Count(const std::string& bmp, int y, int x0, int x1, std::uint32_t colour)
{
    int count = 0;
    for (int x = x0; x < x1; ++x)
        count += BmpPixel(bmp, x, y) == colour ? 1 : 0;
    return count;
}

class DialogueRunTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_game = CopyGame(m_root, "dialogue");
        // Each voice lasts one second: the first line is typed in 0.4 s and its voice goes on after that.
        ASSERT_TRUE(WriteTone((m_game / "line1.wav").string(), 1.0));
        ASSERT_TRUE(WriteTone((m_game / "line2.wav").string(), 1.0));
    }

    // Plays the game's replay that goes through the door.
    void Run(const std::string& door, const std::string& options = {})
    {
        EXPECT_EQ(
            RunGame(m_root, m_game, "--frames 270" + Replay(m_root, m_game / "tools" / (door + ".replay")) + options),
            0)
            << m_root.Read("err.txt");
    }

    TempFolder m_root;
    std::filesystem::path m_game;
};

TEST_F(DialogueRunTest, EachDoorLeadsToItsSceneAndTheSpeakerNameTextAvatarAndPoseAreDrawn)
{
    Run("right");
    ExpectTrace(m_root, m_game / "expected" / "right.trace");
    Run("left", Snapshot(m_root, 30, "speaking.bmp") + Snapshot(m_root, 80, "silent.bmp") +
                    Snapshot(m_root, 170, "asking.bmp") + Snapshot(m_root, 235, "hover.bmp") +
                    Snapshot(m_root, 242, "answer.bmp"));
    ExpectTrace(m_root, m_game / "expected" / "left.trace");
    const std::string speaking = m_root.Read("speaking.bmp");
    ASSERT_FALSE(speaking.empty()) << m_root.Read("err.txt");
    ExpectPixels(m_root, m_game / "expected" / "drawn.pixels");
    // "Hero" whole in the name box; "Hello there." typed whole in the text box: eleven letters of 9 pixels and a blank
    // of 6, so the line ends near x = 125, where the continue picture follows it.
    EXPECT_NEAR(Count(speaking, 148, 20, 60, kName), 4 * 8, 4);
    EXPECT_NEAR(Count(speaking, 168, 20, 140, kSpeech), 11 * 8, 8);
    EXPECT_EQ(Count(speaking, 168, 140, 300, kSpeech), 0);
    EXPECT_GT(Count(speaking, 172, 118, 140, kIndicator), 0);

    EXPECT_NEAR(Count(m_root.Read("silent.bmp"), 168, 20, 140, kSpeech), 11 * 8, 8);
}

TEST_F(DialogueRunTest, ALineWaitingForItsClickDrawsNothingOnceTypedAndSpoken)
{
    Run("idle");
    ExpectTrace(m_root, m_game / "expected" / "idle.trace");
}

// The game's last scene, never reached, has a speaker without a dialog.
TEST_F(DialogueRunTest, CheckWarnsOfSpeakersWithoutADialog)
{
    EXPECT_EQ(Engine(m_root, "check '" + m_game.string() + "'"), 0);
    const std::string report = m_root.Read("err.txt");
    EXPECT_THAT(report, HasSubstr("script.vls:49: warning: 'ghost' speaks but has no dialog"));
    EXPECT_THAT(report, Not(HasSubstr("'hero'")));
}

} // namespace
