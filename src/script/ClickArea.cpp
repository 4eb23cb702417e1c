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
    ScriptValues::ReadRectangle(line, area.x, area.y, area.width, area.height);
    if (const std::u16string action = line.GetAttribute(u"action"); !action.empty())
        area.action = parser.ParseAction(action);
    return area;
}

} // namespace Vel
