#include "script/ClickArea.h"

#include "scene/Action.h"
#include "script/CommandLine.h"
#include "script/ParseManager.h"
#include "script/ScriptValues.h"

#include <string>

namespace Vel {

ClickArea ClickArea::Read(ParseManager& parser, const CommandLine& line)
{
    ClickArea area;
    ScriptValues::ReadPair(line, u"align", area.x, area.y);
    ScriptValues::ReadPair(line, u"size", area.width, area.height);
    if (const std::u16string action = line.GetAttribute(u"action"); !action.empty())
        area.action = parser.ParseAction(action);
    return area;
}

} // namespace Vel
