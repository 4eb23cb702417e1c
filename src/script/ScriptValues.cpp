#include "script/ScriptValues.h"

#include "script/CommandLine.h"

#include "core/TextCodec.h"
#include "script/ScriptError.h"

#include <Poco/NumberParser.h>
#include <boost/lexical_cast.hpp>

#include <cmath>
#include <optional>
#include <string>
#include <type_traits>

namespace Vel {

namespace {

// lexical_cast also reads "inf" and "nan", and out-of-range numbers become infinite: none is a position, time or
// percentage.
template <typename Number> std::optional<Number> Cast(std::u16string_view value)
{
    try {
        const Number number = boost::lexical_cast<Number>(TextCodec::WideToUtf8(value));
        if constexpr (std::is_floating_point_v<Number>) {
            if (!std::isfinite(number))
                return std::nullopt;
        }
        return number;
    } catch (const boost::bad_lexical_cast&) {
        return std::nullopt;
    }
}

// The leading words are boost's own, which authors know from the error screen.
[[noreturn]] void Fail(std::u16string_view value, std::string_view what, std::string_view notation)
{
    const std::string named = what.empty() ? "'" + TextCodec::WideToUtf8(value) + "'" : std::string(what);
    throw ScriptError("bad lexical cast: " + named + " is not " + std::string(notation));
}

template <typename Number> Number Strict(std::u16string_view value, std::string_view what, std::string_view notation)
{
    const std::optional<Number> number = Cast<Number>(value);
    if (!number)
        Fail(value, what, notation);
    return *number;
}

// Scaled in double precision: 1500 ms is then exactly 1.5 s, where the float product would be 1.5000001 and show so
// in every command description and trace.
float Scaled(float number, double scale)
{
    return static_cast<float>(static_cast<double>(number) * scale);
}

} // namespace

std::int32_t ScriptValues::ToInt(std::u16string_view value, std::string_view what)
{
    return Strict<std::int32_t>(value, what, "a whole number");
}

float ScriptValues::ToFloat(std::u16string_view value, std::string_view what)
{
    return Strict<float>(value, what, "a number");
}

float ScriptValues::ToSeconds(std::u16string_view milliseconds, std::string_view what)
{
    return Scaled(Strict<float>(milliseconds, what, "a number of milliseconds"), kMilliseconds);
}

float ScriptValues::ToFraction(std::u16string_view percent, std::string_view what)
{
    return Scaled(Strict<float>(percent, what, "a percentage"), kPercent);
}

std::string ScriptValues::Attribute(const CommandLine& line, const std::u16string& key)
{
    return TextCodec::WideToUtf8(key) + "=" + TextCodec::WideToUtf8(line.GetAttribute(key));
}

std::string ScriptValues::Argument(const CommandLine& line, std::size_t index)
{
    return "argument " + std::to_string(index + 1) + " of " + TextCodec::WideToUtf8(line.Keyword()) + ", '" +
           TextCodec::WideToUtf8(line.GetArgument(index)) + "',";
}

std::vector<float> ScriptValues::ReadParts(const CommandLine& line, const std::u16string& key,
                                           std::string_view notation, std::initializer_list<double> scales)
{
    std::vector<float> numbers;
    for (const double scale : scales) {
        const std::u16string part = key + TextCodec::Widen(std::to_string(numbers.size() + 1));
        const std::optional<float> number = Cast<float>(line.GetAttribute(part));
        if (!number)
            Fail({}, Attribute(line, key), notation);
        numbers.push_back(Scaled(*number, scale));
    }
    return numbers;
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
    const std::vector<float> pair = ReadParts(line, key, key == u"size" ? "a pair w:h" : "a pair x:y", {1.0, 1.0});
    first = pair[0];
    second = pair[1];
}

void ScriptValues::ReadRectangle(const CommandLine& line, float& x, float& y, float& width, float& height)
{
    ReadPair(line, u"align", x, y);
    ReadPair(line, u"size", width, height);
}

} // namespace Vel
