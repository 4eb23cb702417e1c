#include "core/TextCodec.h"
#include "script/CommandLine.h"
#include "script/ScriptError.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

using namespace Vel;

namespace {

// Feeds the lines, which must complete the statement exactly on the last one, and shows the statement: the keyword,
// each argument in [] and each attribute as {key=value} in key order.
std::u16string Parsed(std::initializer_list<std::u16string_view> lines)
{
    CommandLine command;
    std::size_t fed = 0;
    for (const std::u16string_view line : lines)
        EXPECT_EQ(command.AddLine(line), ++fed == lines.size()) << "line " << fed;
    std::u16string text = command.Keyword();
    for (const std::u16string& argument : command.Arguments())
        text += u"[" + argument + u"]";
    for (const auto& [key, value] : command.Attributes())
        text += u"{" + key + u"=" + value + u"}";
    return text;
}

std::string ErrorOf(std::initializer_list<std::u16string_view> lines)
{
    CommandLine command;
    try {
        for (const std::u16string_view line : lines)
            (void)command.AddLine(line);
    } catch (const ScriptError& error) {
        return error.what();
    }
    return "no error";
}

void ExpectParsed(std::initializer_list<std::pair<std::u16string_view, std::u16string_view>> cases)
{
    for (const auto& [line, expected] : cases)
        EXPECT_EQ(Parsed({line}), expected);
}

} // namespace

TEST(CommandLineTest, SplitsKeywordArgumentsAndAttributes)
{
    ExpectParsed({
        {u"object(bg, file=bg.png, pos=10:20)", u"object[bg]{file=bg.png}{pos=10:20}{pos1=10}{pos2=20}"},
        // Blanks around pieces go, runs of commas and of '=' count as one, later duplicates win, "key=" is empty.
        {u"move( a ,,, b,x==1, x = 2 ,empty=,z=1=2 )", u"move[a][b]{empty=}{x=2}{z=1}"},
        // A leading comma leaves an empty first argument: positions count.
        {u"f(,a)", u"f[][a]"},
        {u"pause()", u"pause"},
        // Numbered parts of a ':' value keep their blanks.
        {u"move(pos=10 : 20, size=1::2)", u"move{pos=10 : 20}{pos1=10 }{pos2= 20}{size=1::2}{size1=1}{size2=2}"},
        // Arguments exist only inside the outer parentheses.
        {u"goto scene2", u"goto"},
        {u"goto junk(x, f(y)) tail", u"goto[x][f(y)]"},
        {u"a # b", u"a"},
        {u"", u""},
        // "begin NAME" is one keyword.
        {u"beginscene(intro)", u"beginscene[intro]"},
        {u"begin scene(intro)", u"beginscene[intro]"},
        {u"begin   menu(main, x=1)", u"beginmenu[main]{x=1}"},
    });
    CommandLine object;
    ASSERT_TRUE(object.AddLine(u"object(bg, file=bg.png)"));
    // Asking past the arguments or for a missing attribute gives empty text.
    EXPECT_EQ(object.GetArgument(0) + object.GetArgument(1), u"bg");
    EXPECT_EQ(object.GetAttribute(u"file") + object.GetAttribute(u"missing"), u"bg.png");
    EXPECT_EQ(ErrorOf({u"begin"}), "begin without a block name");
    EXPECT_EQ(ErrorOf({u"begin("}), "begin without a block name");
}

TEST(CommandLineTest, OpenParenthesesJoinLinesWithoutSeparator)
{
    EXPECT_EQ(Parsed({u"object(bg,", u"file=bg.png, pos=f(1", u"))"}), u"object[bg]{file=bg.png}{pos=f(1)}");
    // An empty line does not end an open parenthesis.
    EXPECT_EQ(Parsed({u"text(a,", u"", u"b)"}), u"text[a][b]");
}

TEST(CommandLineTest, SpeechRunsUntilAnEmptyLineAndVoiceIsCompleteAtOnce)
{
    EXPECT_EQ(Parsed({u"Anna= Good", u"morning", u"goto(x)", u""}), u"say[Anna][ Goodmorninggoto(x)]");
    EXPECT_EQ(Parsed({u"Anna==Hi=there", u""}), u"say[Anna][Hi]");
    EXPECT_EQ(Parsed({u"=Hi", u""}), u"say[][Hi]");
    EXPECT_EQ(Parsed({u"Anna=", u""}), u"say[Anna][]");
    // The first word ends at a blank or '(', so these are ordinary statements.
    EXPECT_EQ(Parsed({u"Anna =Hi"}), u"Anna");
    EXPECT_EQ(Parsed({u"text(box,a=b)"}), u"text[box]{a=b}");
    // The written-out form is an ordinary statement and may span lines like any other.
    EXPECT_EQ(Parsed({u"say(Anna,", u"Hi)"}), u"say[Anna][Hi]");
    EXPECT_EQ(Parsed({u"voice== anna01.ogg "}), u"voice[anna01.ogg]");
}

TEST(CommandLineTest, ConditionalLineHasThreeUntrimmedParts)
{
    ExpectParsed({
        {u"if a==1 then goto(x) else  goto(y)", u"if[a==1][goto(x)][ goto(y)]"},
        {u"if a then b", u"if[a][b][]"},
        {u"if a then b else c else d", u"if[a][b][c else d]"},
        {u"if(a>1) then b", u"if[(a>1)][b][]"},
        // The else-part is searched after the whole " then ".
        {u"if a then else b", u"if[a][else b][]"},
    });
    for (const auto* text : {u"if a", u"if", u"if a thenb"})
        EXPECT_EQ(ErrorOf({text}), "if without then");
}

TEST(CommandLineTest, QuotedValuesRestoreCommasAndNeedAClosingQuote)
{
    ExpectParsed({
        {u"text(box, \"Hello, world\", title=\"a,,b\", tail=\"x\"y, t=\"1:2\")",
         u"text[box][Hello,  world]{t=1:2}{tail=x}{title=a, b}"},
        {u"f(\"\")", u"f[]"},
        // A second '=' cuts the value, quotes or not.
        {u"f(\"a=b\")", u"f{\"a=b\"}"},
    });
    for (const auto* text : {u"text(box, \"never closed, at all)", u"text(\")", u"text(t=\"a=b\")"})
        EXPECT_EQ(ErrorOf({text}), "Ending quote missed");
    EXPECT_EQ(TrimBlanks(u" \t\r\n\v\fa b\f\v\n\r\t "), u"a b");
    EXPECT_EQ(TrimBlanks(u"\u00A0a"), u"\u00A0a");
    EXPECT_EQ(TrimBlanks(u" \t "), u"");
}
