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

constexpr std::uint32_t kIdle = 0x00FF00;      // hero_idle.png
constexpr std::uint32_t kTalking = 0xFF8000;   // hero_talk.png
constexpr std::uint32_t kFace = 0xFFFFFF;      // face.png, the avatar
constexpr std::uint32_t kIndicator = 0x00FFFF; // more.png, the continue picture
constexpr std::uint32_t kSpeech = 0xFF00FF;    // the font's letters in the white speech style
constexpr std::uint32_t kName = 0xFF0000;      // the same letters in the yellow name style
constexpr std::uint32_t kBackground = 0x000080;

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

    // Clicks through both lines and the question, then clicks the door at (x, y); returns the trace.
    std::string Run(int doorX, int doorY, const std::string& options = {})
    {
        const std::string door = std::to_string(doorX) + " " + std::to_string(doorY);
        const std::string input = "90 click 150 200\n150 click 150 200\n190 click 150 200\n240 click " + door + "\n";
        EXPECT_EQ(RunGame(m_root, m_game, "--frames 270" + Replay(m_root, input) + options), 0)
            << m_root.Read("err.txt");
        return m_root.Read("trace.txt");
    }

    TempFolder m_root;
    std::filesystem::path m_game;
};

TEST_F(DialogueRunTest, EachDoorLeadsToItsScene)
{
    const std::string left = Run(80, 70);
    for (const char* line : {" command meeting 2 Speak-hero\n", " command meeting 3 Speak-hero\n",
                             " command meeting 4 Text\n", " command meeting 5 Selection\n", " scene left\n"})
        EXPECT_THAT(left, HasSubstr(line));
    EXPECT_THAT(left, Not(HasSubstr(" scene right\n")));
    // Each line waits for its click: the second speech starts only after the click at frame 90.
    const std::size_t second = left.find(" command meeting 3 ");
    ASSERT_NE(second, std::string::npos);
    EXPECT_GE(std::stoi(left.substr(left.rfind('\n', second) + 1)), 90) << left;

    const std::string right = Run(230, 70);
    EXPECT_THAT(right, HasSubstr(" scene right\n"));
    EXPECT_THAT(right, Not(HasSubstr(" scene left\n")));
}

TEST_F(DialogueRunTest, SpeakerNameTextAvatarAndPoseAreDrawn)
{
    Run(80, 70, Snapshot(m_root, 30, "speaking.bmp") + Snapshot(m_root, 80, "silent.bmp"));
    const std::string speaking = m_root.Read("speaking.bmp");
    ASSERT_FALSE(speaking.empty()) << m_root.Read("err.txt");
    EXPECT_EQ(BmpPixel(speaking, 5, 5), kBackground);
    // The voice plays: the speaking picture; the avatar at its fixed place.
    EXPECT_EQ(BmpPixel(speaking, 160, 80), kTalking);
    EXPECT_EQ(BmpPixel(speaking, 275, 25), kFace);
    // "Hero" in the name box; "Hello there." typed whole in the text box: eleven letters of 9 pixels and a blank
    // of 6, so the line ends near x = 125, where the continue picture follows it.
    EXPECT_NEAR(Count(speaking, 148, 20, 60, kName), 4 * 8, 4);
    EXPECT_NEAR(Count(speaking, 168, 20, 140, kSpeech), 11 * 8, 8);
    EXPECT_EQ(Count(speaking, 168, 140, 300, kSpeech), 0);
    EXPECT_GT(Count(speaking, 172, 118, 140, kIndicator), 0);

    // The voice has ended, the text still waits: the idle picture again.
    const std::string silent = m_root.Read("silent.bmp");
    EXPECT_EQ(BmpPixel(silent, 160, 80), kIdle);
    EXPECT_NEAR(Count(silent, 168, 20, 140, kSpeech), 11 * 8, 8);
}

TEST_F(DialogueRunTest, CheckWarnsOfSpeakersWithoutADialog)
{
    const int first = AppendToScript(m_game, "\nbeginscene(ghostly)\nghost=Boo\n\nhero=Hi\n\nend\n");
    EXPECT_EQ(Engine(m_root, "check '" + m_game.string() + "'"), 0);
    const std::string report = m_root.Read("err.txt");
    const std::string line = std::to_string(first + 2);
    EXPECT_THAT(report, HasSubstr("warning: script.vls, line " + line + ": 'ghost' speaks but has no dialog"));
    EXPECT_THAT(report, Not(HasSubstr("'hero'")));
}

} // namespace
