#include "script/ScriptValues.h"

#include "script/CommandLine.h"

#include "core/TextCodec.h"
#include "script/ScriptError.h"

#include <Poco/NumberParser.h>
#include <boost/lexical_cast.hpp>

#include <cmath>
#include <string>

namespace Vel {

namespace {

// The text of boost's own exception, kept word for word because scripts' authors know it from the error screen.
constexpr const char* kBadNumber = "bad lexical cast: source type value could not be interpreted as target";

template <typename Number> Number StrictCast(std::u16string_view value)
{
    try {
        return boost::lexical_cast<Number>(TextCodec::WideToUtf8(value));
    } catch (const boost::bad_lexical_cast&) {
        throw ScriptError(kBadNumber);
    }
}

} // namespace

std::int32_t ScriptValues::ToInt(std::u16string_view value)
{
    return StrictCast<std::int32_t>(value);
}

float ScriptValues::ToFloat(std::u16string_view value)
{
    const float number = StrictCast<float>(value);
    // lexical_cast also reads "inf" and "nan", and out-of-range numbers become infinite: none is a position,
    // time or percentage.
    if (!std::isfinite(number))
        throw ScriptError(kBadNumber);
    return number;
}

// Scaled in double precision: 1500 ms is then exactly 1.5 s, where the float product would be 1.5000001 and
// show so in every command description and trace.
float ScriptValues::ToSeconds(std::u16string_view milliseconds)
{
    return static_cast<float>(static_cast<double>(ToFloat(milliseconds)) * 0.001);
}

float ScriptValues::ToFraction(std::u16string_view percent)
{
    return static_cast<float>(static_cast<double>(ToFloat(percent)) * 0.01);
}

bool ScriptValues::TryParseInt(std::u16string_view value, std::int32_t& target)
{
    int number = 0;
    if (!Poco::NumberParser::tryParse(TextCodec::WideToUtf8(value), number))
        return false;
    target = number;
    return true;
}

std::uint32_t ScriptValues::ToColour(std::u16string_view value)
{
    // Alpha comes from the "ff" in front; an empty value would otherwise read as 0x000000FF.
    if (value.empty())
        return 0;
    unsigned number = 0;
    if (!Poco::NumberParser::tryParseHex("ff" + TextCodec::WideToUtf8(value), number))
        return 0;
    return number;
}

void ScriptValues::ReadPair(const CommandLine& line, const std::u16string& key, float& first, float& second)
{
    if (line.GetAttribute(key).empty())
        return;
    first = ToFloat(line.GetAttribute(key + u"1"));
    second = ToFloat(line.GetAttribute(key + u"2"));
}

void ScriptValues::ReadRectangle(const CommandLine& line, float& x, float& y, float& width, float& height)
{
    ReadPair(line, u"align", x, y);
    ReadPair(line, u"size", width, height);
}

} // namespace Vel
