#pragma once

// Where a menu button or a choice entry lies and what a click on it does, as their statements write it:
// "align=x:y" and "size=w:h" (0 when absent) and "action=..." read by the parser's action rules (none when absent).

#include <memory>

namespace Vel {

class Action;
class CommandLine;
class ParseManager;

struct ClickArea
{
    float x = 0.0f;
    float y = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    std::shared_ptr<Action> action;

    [[nodiscard]] static ClickArea Read(ParseManager& parser, const CommandLine& line);
};

} // namespace Vel
