#include "platform/InputScript.h"
#include "platform/Hge.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace Vel {
namespace {

using Lines = std::vector<std::string>;

// The events as the cases file writes them.
std::string Describe(const InputScript& script)
{
    const char* const verbs[] = {"move", "down", "up", "leave", "enter", "close", "drawn", "wheel"};
    std::ostringstream line;
    for (const InputEvent& event : script.Events()) {
        line << (line.tellp() > 0 ? "; " : "") << event.frame << ' ' << verbs[static_cast<int>(event.kind)];
        if (event.kind == InputEvent::Kind::Move)
            line << ' ' << event.x << ',' << event.y;
        if (event.kind == InputEvent::Kind::Wheel)
            line << ' ' << event.wheel;
        for (const char* name :
             {"lbutton", "escape", "ctrl", "alt", "space", "enter", "kpenter", "a", "b", "c", "d", "s"})
            if (event.key != 0 && event.key == InputScript::KeyFromName(name))
                line << ' ' << name;
        if (event.kind == InputEvent::Kind::KeyDown && !event.keyDownEvent)
            line << " (silent)";
        line << ((event.flags & HGEINP_CTRL) != 0 ? " +ctrl" : "") << ((event.flags & HGEINP_ALT) != 0 ? " +alt" : "");
    }
    return line.str();
}

TEST(InputScriptTest, KeyNamesFollowTheVirtualKeyNumbers)
{
    // clang-format off
    const std::pair<const char*, int> keys[] = {{"lbutton", HGEK_LBUTTON}, {"escape", HGEK_ESCAPE}, {"s", HGEK_S},
        {"z", HGEK_A + 25}, {"7", HGEK_0 + 7}, {"f1", HGEK_F1}, {"f12", HGEK_F12}, {"kpenter", HGEK_KPENTER}, {"f13", 0}, {"f01", 0}, {"S", 0},
        {"", 0}};
    // clang-format on
    for (const auto& [name, key] : keys)
        EXPECT_EQ(InputScript::KeyFromName(name), key) << name;
}

TEST(InputScriptTest, TextsBecomeEventsSortedByFrameOrFaultsThatNameTheLine)
{
    std::ifstream cases(std::string(VEL_TEST_DATA) + "/replay_cases.txt");
    std::string error;
    int checked = 0;
    for (std::string line; std::getline(cases, line);) {
        const std::size_t bar = line.find(" | ");
        if (line.rfind("##", 0) == 0 || bar == std::string::npos)
            continue;
        std::string text = line.substr(0, bar);
        for (const auto& [escape, character] : {std::pair{"\\r", '\r'}, {"\\n", '\n'}})
            for (std::size_t at = text.find(escape); at != std::string::npos; at = text.find(escape, at))
                text.replace(at, 2, 1, character);
        const std::string outcome = line.substr(bar + 3);
        const std::optional<InputScript> script = InputScript::Parse(text, error);
        EXPECT_EQ(script ? Describe(*script) : "!" + error.substr(0, outcome.size() - 1), outcome) << text;
        ++checked;
    }
    EXPECT_EQ(checked, 25);

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
