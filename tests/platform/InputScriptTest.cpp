#include "platform/InputScript.h"
#include "platform/Hge.h"

#include <gtest/gtest.h>

namespace Vel {
namespace {

using Kind = InputEvent::Kind;

std::vector<InputEvent> ParseOk(const std::string& text)
{
    std::string error;
    std::optional<InputScript> script = InputScript::Parse(text, error);
    EXPECT_TRUE(script.has_value()) << error;
    return script ? script->Events() : std::vector<InputEvent>{};
}

std::string ParseError(const std::string& text)
{
    std::string error;
    EXPECT_FALSE(InputScript::Parse(text, error).has_value()) << text;
    return error;
}

TEST(InputScriptTest, KeyNamesFollowTheVirtualKeyNumbers)
{
    EXPECT_EQ(InputScript::KeyFromName("lbutton"), HGEK_LBUTTON);
    EXPECT_EQ(InputScript::KeyFromName("escape"), HGEK_ESCAPE);
    EXPECT_EQ(InputScript::KeyFromName("s"), HGEK_S);
    EXPECT_EQ(InputScript::KeyFromName("z"), HGEK_A + 25);
    EXPECT_EQ(InputScript::KeyFromName("7"), HGEK_0 + 7);
    EXPECT_EQ(InputScript::KeyFromName("f1"), HGEK_F1);
    EXPECT_EQ(InputScript::KeyFromName("f12"), HGEK_F12);
    EXPECT_EQ(InputScript::KeyFromName("pgdn"), HGEK_PGDN);
    EXPECT_EQ(InputScript::KeyFromName("f13"), 0);
    EXPECT_EQ(InputScript::KeyFromName("f01"), 0);
    EXPECT_EQ(InputScript::KeyFromName("S"), 0);
    EXPECT_EQ(InputScript::KeyFromName(""), 0);
}

TEST(InputScriptTest, EveryVerbBecomesItsEvents)
{
    std::vector<InputEvent> events = ParseOk("# a comment\n"
                                             "\n"
                                             "2 move 10 20.5\r\n"
                                             "3 down escape\n"
                                             "4 up escape\n"
                                             "5 leave\n"
                                             "6 enter\n"
                                             "7 close\n");
    ASSERT_EQ(events.size(), 6u);
    EXPECT_EQ(events[0].kind, Kind::Move);
    EXPECT_EQ(events[0].frame, 2);
    EXPECT_FLOAT_EQ(events[0].x, 10.0f);
    EXPECT_FLOAT_EQ(events[0].y, 20.5f);
    EXPECT_EQ(events[1].kind, Kind::KeyDown);
    EXPECT_EQ(events[1].key, HGEK_ESCAPE);
    EXPECT_TRUE(events[1].keyDownEvent);
    EXPECT_EQ(events[2].kind, Kind::KeyUp);
    EXPECT_EQ(events[3].kind, Kind::Leave);
    EXPECT_EQ(events[4].kind, Kind::Enter);
    EXPECT_EQ(events[5].kind, Kind::Close);
    EXPECT_EQ(events[5].frame, 7);
}

TEST(InputScriptTest, ClickAndChordSpanTwoFrames)
{
    std::vector<InputEvent> click = ParseOk("5 click 100 200");
    ASSERT_EQ(click.size(), 3u);
    EXPECT_EQ(click[0].kind, Kind::Move);
    EXPECT_EQ(click[1].kind, Kind::KeyDown);
    EXPECT_EQ(click[1].key, HGEK_LBUTTON);
    EXPECT_EQ(click[1].frame, 5);
    EXPECT_EQ(click[2].kind, Kind::KeyUp);
    EXPECT_EQ(click[2].frame, 6);

    std::vector<InputEvent> chord = ParseOk("3 key ctrl+alt+s");
    ASSERT_EQ(chord.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(chord[i].kind, Kind::KeyDown);
        EXPECT_EQ(chord[i].frame, 3);
        EXPECT_EQ(chord[i].keyDownEvent, i == 2);
        EXPECT_EQ(chord[3 + i].kind, Kind::KeyUp);
        EXPECT_EQ(chord[3 + i].frame, 4);
    }
    EXPECT_EQ(chord[2].key, HGEK_S);
    EXPECT_EQ(chord[2].flags, HGEINP_ALT | HGEINP_CTRL);
    EXPECT_EQ(chord[0].flags, 0);

    std::vector<InputEvent> single = ParseOk("1 key space");
    ASSERT_EQ(single.size(), 2u);
    EXPECT_TRUE(single[0].keyDownEvent);
    EXPECT_EQ(single[0].flags, 0);
}

TEST(InputScriptTest, EventsAreSortedByFrameKeepingTheirOrder)
{
    std::vector<InputEvent> events = ParseOk("9 down a\n"
                                             "2 down b\n"
                                             "9 down c\n"
                                             "2 key d\n");
    ASSERT_EQ(events.size(), 5u);
    EXPECT_EQ(events[0].key, HGEK_A + 1);
    EXPECT_EQ(events[1].key, HGEK_A + 3);
    EXPECT_EQ(events[2].kind, Kind::KeyUp);
    EXPECT_EQ(events[2].frame, 3);
    EXPECT_EQ(events[3].key, HGEK_A);
    EXPECT_EQ(events[4].key, HGEK_A + 2);
}

TEST(InputScriptTest, FaultsNameTheLine)
{
    EXPECT_EQ(ParseError("1 move 1 1\n\n3 down foo\n"), "line 3: unknown key 'foo'");
    EXPECT_EQ(ParseError("1 jump"), "line 1: unknown verb 'jump'");
    EXPECT_EQ(ParseError("0 close"), "line 1: bad frame number '0' (frames count from 1)");
    EXPECT_EQ(ParseError("x close").rfind("line 1: bad frame number", 0), 0u);
    EXPECT_EQ(ParseError("1 move 5").rfind("line 1: ", 0), 0u);
    EXPECT_EQ(ParseError("1 move 5 y").rfind("line 1: bad position", 0), 0u);
    EXPECT_EQ(ParseError("2 key alt+"), "line 1: unknown key ''");
    EXPECT_EQ(ParseError("2 close now").rfind("line 1: ", 0), 0u);
    EXPECT_EQ(ParseError("2").rfind("line 1: missing verb", 0), 0u);
    EXPECT_EQ(ParseError("99999999999 close").rfind("line 1: bad frame number", 0), 0u);
}

TEST(InputScriptTest, LoadReadsAFileAndReportsAMissingOne)
{
    std::string error;
    std::optional<InputScript> script = InputScript::Load(std::string(VEL_TEST_DATA) + "/replay.txt", error);
    ASSERT_TRUE(script.has_value()) << error;
    EXPECT_FALSE(script->Events().empty());

    EXPECT_FALSE(InputScript::Load(std::string(VEL_TEST_DATA) + "/missing.txt", error).has_value());
    EXPECT_NE(error.find("missing.txt"), std::string::npos);
    EXPECT_FALSE(InputScript::Load(std::string(VEL_TEST_DATA) + "/replay_bad.txt", error).has_value());
    EXPECT_NE(error.find("line 4"), std::string::npos) << error;
}

} // namespace
} // namespace Vel
