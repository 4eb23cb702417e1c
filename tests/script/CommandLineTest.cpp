// How a statement's text is read: split into keyword, arguments and attributes, and its values converted.
#include "script/CommandLine.h"

#include "ScriptRun.h"
#include "core/TextCodec.h"
#include "script/ScriptError.h"
#include "script/ScriptValues.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

using namespace Vel;

namespace {

// The statement the lines make, as command_lines.txt shows it.
std::string Parsed(const std::vector<std::u16string>& lines)
{
    CommandLine command;
    try {
        for (std::size_t fed = 1; fed <= lines.size(); ++fed)
            EXPECT_EQ(command.AddLine(lines[fed - 1]), fed == lines.size()) << "line " << fed;
    } catch (const ScriptError& error) {
        return std::string("error: ") + error.what();
    }
    std::u16string text = command.Keyword();
    for (const std::u16string& argument : command.Arguments())
        text += u"[" + argument + u"]";
    for (const auto& [key, value] : command.Attributes())
        text += u"{" + key + u"=" + value + u"}";
    return TextCodec::WideToUtf8(text);
}

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
        if (kind != u"lenient")
            return "no such conversion";
        std::int32_t value = 5;
        return ScriptValues::TryParseInt(text, value) ? std::to_string(value)
                                                      : "refused, " + std::to_string(value) + " kept";
    } catch (const ScriptError& error) {
        return error.what();
    }
}

} // namespace

TEST(CommandLineTest, SplitsKeywordArgumentsAndAttributes)
{
    for (const TestTools::Row& row : TestTools::ReadTable("command_lines.txt")) {
        SCOPED_TRACE(row.where);
        EXPECT_EQ(Parsed(row.lines), row.expected);
    }
}

TEST(CommandLineTest, TrimsTheAsciiBlanksOnly)
{
    EXPECT_EQ(TrimBlanks(u" \t\r\n\v\fa b\f\v\n\r\t "), u"a b");
    EXPECT_EQ(TrimBlanks(u"\u00A0a"), u"\u00A0a");
    EXPECT_EQ(TrimBlanks(u" \t "), u"");
}

TEST(ScriptValuesTest, EachConversionReadsItsNotation)
{
    for (const TestTools::Row& row : TestTools::ReadTable("values.txt"))
        EXPECT_EQ(Converted(row.lines.at(0)), row.expected) << row.where;
}
