#pragma once

// The value notations statement handlers read from attributes and arguments: strict decimal numbers, the lenient
// integers of the settings statements, RRGGBB colours, milliseconds, percent and flags. Strict conversions throw
// ScriptError, so a wrong number stops the statement with a script error report.

#include <cstdint>
#include <string>
#include <string_view>

namespace Vel {

class CommandLine;

class ScriptValues
{
public:
    // The whole value must be a decimal number (optional sign, digits, optional point and exponent, no blanks)
    // that fits the type; otherwise ScriptError "bad lexical cast: source type value could not be interpreted as
    // target".
    [[nodiscard]] static std::int32_t ToInt(std::u16string_view value);
    [[nodiscard]] static float ToFloat(std::u16string_view value);
    // Milliseconds to seconds, and percent to a fraction (100 is 1.0); strict as ToFloat.
    [[nodiscard]] static float ToSeconds(std::u16string_view milliseconds);
    [[nodiscard]] static float ToFraction(std::u16string_view percent);

    // Lenient integer: leading blanks and ',' thousands separators are accepted. On failure target keeps its value
    // and the result is false.
    static bool TryParseInt(std::u16string_view value, std::int32_t& target);

    // "RRGGBB" to 0xFFRRGGBB: "ff" is put in front and the whole read as a hexadecimal 32-bit number. Text that
    // does not read that way (not hexadecimal, more than six digits, empty) gives 0.
    [[nodiscard]] static std::uint32_t ToColour(std::u16string_view value);

    // A pair written "key=a:b", read as the numbers "key1" and "key2", both needed once the pair is written; the
    // targets keep their values when the key is absent.
    static void ReadPair(const CommandLine& line, const std::u16string& key, float& first, float& second);
    // "align=x:y" and "size=w:h", the place most screen statements take; each pair as ReadPair reads it.
    static void ReadRectangle(const CommandLine& line, float& x, float& y, float& width, float& height);

    // Case-sensitive comparison with the one literal a statement tests ("yes", "on", ...).
    [[nodiscard]] static bool IsFlag(std::u16string_view value, std::u16string_view literal)
    {
        return value == literal;
    }
};

} // namespace Vel
