#include "platform/InputScript.h"
#include "platform/Hge.h"

#include <gtest/gtest.h>

#include <sstream>

namespace Vel {
namespace {

using Lines = std::vector<std::string>;

// Events as text, "FRAME VERB [KEY] [X,Y]", with "(silent)" for a key that goes down without an event of its own
// and "+FLAGS" for the flags its key-down event carries.
Lines Events(const std::string& text)
{
    std::string error;
    const std::optional<InputScript> script = InputScript::Parse(text, error);
    EXPECT_TRUE(script.has_value()) << error;
    const char* const verbs[] = {"move", "down", "up", "leave", "enter", "close"};
    Lines lines;
    for (const InputEvent& event : script ? script->Events() : std::vector<InputEvent>{}) {
        std::ostringstream line;
        line << event.frame << ' ' << verbs[static_cast<int>(event.kind)];
        if (event.kind == InputEvent::Kind::Move)
            line << ' ' << event.x << ',' << event.y;
        for (const char* name : {"lbutton", "escape", "ctrl", "alt", "space", "a", "b", "c", "d", "s"})
            if (event.key != 0 && event.key == InputScript::KeyFromName(name))
                line << ' ' << name;
        if (event.kind == InputEvent::Kind::KeyDown && !event.keyDownEvent)
            line << " (silent)";
        if (event.flags != 0)
            line << " +" << event.flags;
        lines.push_back(line.str());
    }
    return lines;
}

std::string ParseError(const std::string& text)
{
    std::string error;
    EXPECT_FALSE(InputScript::Parse(text, error).has_value()) << text;
    return error;
}

TEST(InputScriptTest, KeyNamesFollowTheVirtualKeyNumbers)
{
    // clang-format off
    const std::pair<const char*, int> keys[] = {{"lbutton", HGEK_LBUTTON}, {"escape", HGEK_ESCAPE}, {"s", HGEK_S},
        {"z", HGEK_A + 25}, {"7", HGEK_0 + 7}, {"f1", HGEK_F1}, {"f12", HGEK_F12}, {"f13", 0}, {"f01", 0}, {"S", 0},
        {"", 0}};
    // clang-format on
    for (const auto& [name, key] : keys)
        EXPECT_EQ(InputScript::KeyFromName(name), key) << name;
}

TEST(InputScriptTest, VerbsBecomeEventsSortedByFrame)
{
    EXPECT_EQ(Events("# a comment\n\n2 move 10 20.5\r\n3 down escape\n4 up escape\n5 leave\n6 enter\n7 close\n"),
              (Lines{"2 move 10,20.5", "3 down escape", "4 up escape", "5 leave", "6 enter", "7 close"}));
    // A click and a chord span two frames; the modifiers of a chord only flag the last key's event.
    EXPECT_EQ(Events("5 click 100 200"), (Lines{"5 move 100,200", "5 down lbutton", "6 up lbutton"}));
    EXPECT_EQ(Events("3 key ctrl+alt+s"),
              (Lines{"3 down ctrl (silent)", "3 down alt (silent)",
                     "3 down s +" + std::to_string(HGEINP_ALT | HGEINP_CTRL), "4 up s", "4 up alt", "4 up ctrl"}));
    EXPECT_EQ(Events("1 key space"), (Lines{"1 down space", "2 up space"}));
    // Events of one frame keep their order.
    EXPECT_EQ(Events("9 down a\n2 down b\n9 down c\n2 key d\n"),
              (Lines{"2 down b", "2 down d", "3 up d", "9 down a", "9 down c"}));
}

TEST(InputScriptTest, FaultsNameTheLine)
{
    // clang-format off
    for (const auto& [text, error] : {std::pair{"1 move 1 1\n\n3 down foo\n", "line 3: unknown key 'foo'"},
             {"1 jump", "line 1: unknown verb 'jump'"}, {"0 close", "line 1: bad frame number '0' (frames count from 1)"},
             {"2 key alt+", "line 1: unknown key ''"}, {"x close", "line 1: bad frame number"},
             {"99999999999 close", "line 1: bad frame number"}, {"1 move 5 y", "line 1: bad position"},
             {"2", "line 1: missing verb"}, {"1 move 5", "line 1: "}, {"2 close now", "line 1: "}})
        EXPECT_EQ(ParseError(text).rfind(error, 0), 0u) << text;
    // clang-format on

    std::string error;
    const std::optional<InputScript> script = InputScript::Load(std::string(VEL_TEST_DATA) + "/replay.txt", error);
    ASSERT_TRUE(script.has_value()) << error;
    EXPECT_EQ(script->Events().size(), 11u);
    EXPECT_FALSE(InputScript::Load(std::string(VEL_TEST_DATA) + "/missing.txt", error).has_value());
    EXPECT_NE(error.find("missing.txt"), std::string::npos);
    EXPECT_FALSE(InputScript::Load(std::string(VEL_TEST_DATA) + "/replay_bad.txt", error).has_value());
    EXPECT_NE(error.find("line 4"), std::string::npos) << error;
}

} // namespace
} // namespace Vel
