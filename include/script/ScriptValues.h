#pragma once

// The value notations statement handlers read from attributes and arguments: strict decimal numbers, the lenient
// integers of the settings statements, RRGGBB colours, milliseconds, percent and flags. Strict conversions throw
// ScriptError, so a wrong number stops the statement with a script error report that names the value as the author
// wrote it and the notation it needs.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace Vel {

class CommandLine;

class ScriptValues
{
public:
    static constexpr double kPercent = 0.01;       // a script's percent to a fraction (100 is 1.0)
    static constexpr double kMilliseconds = 0.001; // a script's milliseconds to seconds

    // The whole value must be a decimal number (optional sign, digits, optional point and exponent, no blanks)
    // that fits the type; otherwise ScriptError "bad lexical cast: WHAT is not a whole number" ("a number", "a
    // number of milliseconds", "a percentage"). WHAT names the value as the author wrote it (see Attribute and
    // Argument); without it the value itself is named, quoted.
    [[nodiscard]] static std::int32_t ToInt(std::u16string_view value, std::string_view what = {});
    [[nodiscard]] static float ToFloat(std::u16string_view value, std::string_view what = {});
    // Milliseconds to seconds, and percent to a fraction; strict as ToFloat.
    [[nodiscard]] static float ToSeconds(std::u16string_view milliseconds, std::string_view what = {});
    [[nodiscard]] static float ToFraction(std::u16string_view percent, std::string_view what = {});
    // How the author wrote a value, for the errors: "layer=top", "argument 1 of delay, 'soon',".
    [[nodiscard]] static std::string Attribute(const CommandLine& line, const std::u16string& key);
    [[nodiscard]] static std::string Argument(const CommandLine& line, std::size_t index);

    // The parts of "key=a:b:...", read through key1, key2, ..., one number for each scale and multiplied by it.
    // Once the key is written every part is needed: a missing part or one that is no number fails with "bad
    // lexical cast: KEY=VALUE is not NOTATION", the notation as the author should write it ("a pair x:y").
    [[nodiscard]] static std::vector<float> ReadParts(const CommandLine& line, const std::u16string& key,
                                                      std::string_view notation, std::initializer_list<double> scales);

    // Lenient integer: leading blanks and ',' thousands separators are accepted. On failure target keeps its value
    // and the result is false.
    static bool TryParseInt(std::u16string_view value, std::int32_t& target);

    // "RRGGBB" to 0xFFRRGGBB: "ff" is put in front and the whole read as a hexadecimal 32-bit number. Text that
    // does not read that way (not hexadecimal, more than six digits, empty) gives 0.
    [[nodiscard]] static std::uint32_t ToColour(std::u16string_view value);

    // A pair written "key=x:y" ("size=w:h"), read as ReadParts reads it; the targets keep their values when the key
    // is absent or empty.
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
