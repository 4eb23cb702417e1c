#include "script/ScriptValues.h"
#include "app/TextCodec.h"
#include "script/ScriptError.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace Vel;

namespace {

constexpr const char* kBadNumber = "bad lexical cast: source type value could not be interpreted as target";

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

TEST(ScriptValuesTest, StrictIntegersNeedTheWholeValue)
{
    EXPECT_EQ(ScriptValues::ToInt(u"12"), 12);
    EXPECT_EQ(ScriptValues::ToInt(u"-5"), -5);
    EXPECT_EQ(ScriptValues::ToInt(u"+7"), 7);
    EXPECT_EQ(ScriptValues::ToInt(u"2147483647"), 2147483647);
    for (const std::u16string bad : {u" 12", u"12 ", u"1.5", u"abc", u"", u"1,000", u"2147483648", u"\uFF11"})
        EXPECT_EQ(ErrorOf([&] { (void)ScriptValues::ToInt(bad); }), kBadNumber);
}

TEST(ScriptValuesTest, StrictRealsRejectWhatIsNotAFiniteNumber)
{
    EXPECT_FLOAT_EQ(ScriptValues::ToFloat(u"1.5"), 1.5f);
    EXPECT_FLOAT_EQ(ScriptValues::ToFloat(u"-2e3"), -2000.0f);
    EXPECT_FLOAT_EQ(ScriptValues::ToFloat(u".5"), 0.5f);
    EXPECT_FLOAT_EQ(ScriptValues::ToFloat(u"7"), 7.0f);
    for (const std::u16string bad : {u"nan", u"inf", u"-infinity", u"1e50", u"1,5", u"", u" 1", u"1f"})
        EXPECT_EQ(ErrorOf([&] { (void)ScriptValues::ToFloat(bad); }), kBadNumber) << TextCodec::WideToUtf8(bad);

    EXPECT_FLOAT_EQ(ScriptValues::ToSeconds(u"1500"), 1.5f);
    EXPECT_FLOAT_EQ(ScriptValues::ToFraction(u"50"), 0.5f);
    EXPECT_FLOAT_EQ(ScriptValues::ToFraction(u"100"), 1.0f);
    EXPECT_EQ(ErrorOf([] { (void)ScriptValues::ToSeconds(u"1 s"); }), kBadNumber);
    EXPECT_EQ(ErrorOf([] { (void)ScriptValues::ToFraction(u"50%"); }), kBadNumber);
}

TEST(ScriptValuesTest, LenientIntegersKeepThePreviousValueOnFailure)
{
    std::int32_t value = 5;
    EXPECT_TRUE(ScriptValues::TryParseInt(u"1,000", value));
    EXPECT_EQ(value, 1000);
    EXPECT_TRUE(ScriptValues::TryParseInt(u"  42", value));
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(ScriptValues::TryParseInt(u"-3", value));
    EXPECT_EQ(value, -3);
    for (const std::u16string bad : {u"abc", u"42 ", u"", u"4.5", u"99999999999"}) {
        EXPECT_FALSE(ScriptValues::TryParseInt(bad, value));
        EXPECT_EQ(value, -3);
    }
}

TEST(ScriptValuesTest, ColoursGetFullAlphaAndBadTextGivesZero)
{
    EXPECT_EQ(ScriptValues::ToColour(u"ff0000"), 0xFFFF0000u);
    EXPECT_EQ(ScriptValues::ToColour(u"00Fa80"), 0xFF00FA80u);
    EXPECT_EQ(ScriptValues::ToColour(u"000000"), 0xFF000000u);
    EXPECT_EQ(ScriptValues::ToColour(u"zz0000"), 0u);
    EXPECT_EQ(ScriptValues::ToColour(u"#ff0000"), 0u);
    EXPECT_EQ(ScriptValues::ToColour(u""), 0u);
    EXPECT_EQ(ScriptValues::ToColour(u"1234567"), 0u);
}
