#include "script/ScriptValues.h"
#include "core/TextCodec.h"
#include "script/ScriptError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace Vel;

namespace {

template <typename Convert> std::string ErrorOf(Convert convert)
{
    try {
        convert();
    } catch (const ScriptError& error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(ScriptValuesTest, StrictNumbersNeedTheWholeValue)
{
    for (const auto& [text, value] : {std::pair{u"12", 12}, {u"-5", -5}, {u"+7", 7}, {u"2147483647", 2147483647}})
        EXPECT_EQ(ScriptValues::ToInt(text), value);
    for (const std::u16string bad : {u" 12", u"12 ", u"1.5", u"abc", u"", u"1,000", u"2147483648", u"\uFF11"})
        EXPECT_EQ(ErrorOf([&] { (void)ScriptValues::ToInt(bad); }),
                  "bad lexical cast: '" + TextCodec::WideToUtf8(bad) + "' is not a whole number");

    for (const auto& [text, value] : {std::pair{u"1.5", 1.5f}, {u"-2e3", -2000.0f}, {u".5", 0.5f}, {u"7", 7.0f}})
        EXPECT_FLOAT_EQ(ScriptValues::ToFloat(text), value);
    for (const std::u16string bad : {u"nan", u"inf", u"-infinity", u"1e50", u"1,5", u"", u" 1", u"1f"})
        EXPECT_EQ(ErrorOf([&] { (void)ScriptValues::ToFloat(bad, "f=" + TextCodec::WideToUtf8(bad)); }),
                  "bad lexical cast: f=" + TextCodec::WideToUtf8(bad) + " is not a number");

    EXPECT_EQ(ScriptValues::ToSeconds(u"1500"), 1.5f); // exactly: descriptions and traces show it
    EXPECT_EQ(ScriptValues::ToFraction(u"30"), 0.3f);
}

// Lenient integers keep the previous value on failure; colours get full alpha and bad text gives zero.
TEST(ScriptValuesTest, LenientConversionsNeverThrow)
{
    std::int32_t value = 5;
    for (const auto& [text, expected] : {std::pair{u"1,000", 1000}, {u"  42", 42}, {u"-3", -3}}) {
        EXPECT_TRUE(ScriptValues::TryParseInt(text, value));
        EXPECT_EQ(value, expected);
    }
    for (const std::u16string bad : {u"abc", u"42 ", u"", u"4.5", u"99999999999"}) {
        EXPECT_FALSE(ScriptValues::TryParseInt(bad, value));
        EXPECT_EQ(value, -3);
    }
    const std::pair<const char16_t*, std::uint32_t> colours[] = {{u"ff0000", 0xFFFF0000u}, {u"00Fa80", 0xFF00FA80u},
                                                                 {u"000000", 0xFF000000u}, {u"zz0000", 0u},
                                                                 {u"#ff0000", 0u},         {u"", 0u},
                                                                 {u"1234567", 0u}};
    for (const auto& [text, colour] : colours)
        EXPECT_EQ(ScriptValues::ToColour(text), colour) << TextCodec::WideToUtf8(text);
}
