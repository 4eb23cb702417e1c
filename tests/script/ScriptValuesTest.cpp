#include "script/ScriptValues.h"

#include "ScriptRun.h"
#include "core/TextCodec.h"
#include "script/ScriptError.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <string>

using namespace Vel;

namespace {

// The shortest text that reads back as the same float, so that any difference shows.
std::string Exact(float value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// A row of values.txt: "KIND TEXT" converted by that kind.
std::string Converted(const std::u16string& row)
{
    const std::u16string kind = row.substr(0, row.find(u' '));
    const std::u16string text = row.substr(kind.size() + 1);
    try {
        if (kind == u"int")
            return std::to_string(ScriptValues::ToInt(text));
        if (kind == u"float")
            return Exact(ScriptValues::ToFloat(text));
        if (kind == u"seconds")
            return Exact(ScriptValues::ToSeconds(text));
        if (kind == u"fraction")
            return Exact(ScriptValues::ToFraction(text));
        if (kind == u"colour") {
            char hex[16];
            return std::string(hex, std::to_chars(hex, hex + sizeof hex, ScriptValues::ToColour(text), 16).ptr);
        }
        std::int32_t value = 5;
        if (kind != u"lenient")
            return "no such conversion";
        return ScriptValues::TryParseInt(text, value) ? std::to_string(value) : "refused, " + std::to_string(value) + " kept";
    } catch (const ScriptError& error) {
        return error.what();
    }
}

} // namespace

TEST(ScriptValuesTest, EachConversionReadsItsNotation)
{
    for (const TestTools::Row& row : TestTools::ReadTable("values.txt"))
        EXPECT_EQ(Converted(row.lines.at(0)), row.expected) << row.where;
}
