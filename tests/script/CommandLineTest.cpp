#include "script/CommandLine.h"

#include "ScriptRun.h"
#include "core/TextCodec.h"
#include "script/ScriptError.h"

#include <gtest/gtest.h>

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

} // namespace

TEST(CommandLineTest, SplitsKeywordArgumentsAndAttributes)
{
    for (const TestTools::Row& row : TestTools::ReadTable("command_lines.txt")) {
        SCOPED_TRACE(row.where);
        EXPECT_EQ(Parsed(row.lines), row.expected);
    }
    CommandLine object;
    ASSERT_TRUE(object.AddLine(u"object(bg, file=bg.png)"));
    // Asking past the arguments or for a missing attribute gives empty text.
    EXPECT_EQ(object.GetArgument(0) + object.GetArgument(1), u"bg");
    EXPECT_EQ(object.GetAttribute(u"file") + object.GetAttribute(u"missing"), u"bg.png");
}

TEST(CommandLineTest, TrimsTheAsciiBlanksOnly)
{
    EXPECT_EQ(TrimBlanks(u" \t\r\n\v\fa b\f\v\n\r\t "), u"a b");
    EXPECT_EQ(TrimBlanks(u"\u00A0a"), u"\u00A0a");
    EXPECT_EQ(TrimBlanks(u" \t "), u"");
}
