#include "script/CommandLine.h"
#include "script/ScriptError.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

using namespace Vel;

namespace {

using Arguments = std::vector<std::u16string>;
using Attributes = std::map<std::u16string, std::u16string>;

// Feeds the lines; the statement must complete exactly on the last one.
CommandLine Statement(std::initializer_list<std::u16string_view> lines)
{
    CommandLine command;
    std::size_t fed = 0;
    for (const std::u16string_view line : lines) {
        const bool complete = command.AddLine(line);
        EXPECT_EQ(complete, ++fed == lines.size()) << "line " << fed;
    }
    return command;
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

} // namespace

TEST(CommandLineTest, SplitsKeywordArgumentsAndAttributes)
{
    const CommandLine object = Statement({u"object(bg, file=bg.png, pos=10:20)"});
    EXPECT_EQ(object.Keyword(), u"object");
    EXPECT_EQ(object.Text(), u"object(bg, file=bg.png, pos=10:20)");
    EXPECT_EQ(object.Arguments(), (Arguments{u"bg"}));
    EXPECT_EQ(object.Attributes(),
              (Attributes{{u"file", u"bg.png"}, {u"pos", u"10:20"}, {u"pos1", u"10"}, {u"pos2", u"20"}}));
    EXPECT_EQ(object.GetArgument(0), u"bg");
    EXPECT_EQ(object.GetArgument(1), u"");
    EXPECT_EQ(object.GetAttribute(u"file"), u"bg.png");
    EXPECT_EQ(object.GetAttribute(u"missing"), u"");

    // Blanks around pieces go, runs of commas and of '=' count as one, later duplicates win, "key=" is empty.
    const CommandLine runs = Statement({u"move( a ,,, b,x==1, x = 2 ,empty=,z=1=2 )"});
    EXPECT_EQ(runs.Arguments(), (Arguments{u"a", u"b"}));
    EXPECT_EQ(runs.Attributes(), (Attributes{{u"x", u"2"}, {u"empty", u""}, {u"z", u"1"}}));

    // A leading comma leaves an empty first argument: positions count.
    EXPECT_EQ(Statement({u"f(,a)"}).Arguments(), (Arguments{u"", u"a"}));
    EXPECT_TRUE(Statement({u"pause()"}).Arguments().empty());

    // Numbered parts of a ':' value keep their blanks.
    const CommandLine parts = Statement({u"move(pos=10 : 20, size=1::2)"});
    EXPECT_EQ(parts.Attributes(), (Attributes{{u"pos", u"10 : 20"},
                                              {u"pos1", u"10 "},
                                              {u"pos2", u" 20"},
                                              {u"size", u"1::2"},
                                              {u"size1", u"1"},
                                              {u"size2", u"2"}}));
}

TEST(CommandLineTest, ArgumentsExistOnlyInsideTheOuterParentheses)
{
    const CommandLine bare = Statement({u"goto scene2"});
    EXPECT_EQ(bare.Keyword(), u"goto");
    EXPECT_TRUE(bare.Arguments().empty());

    const CommandLine extra = Statement({u"goto junk(x, f(y)) tail"});
    EXPECT_EQ(extra.Keyword(), u"goto");
    EXPECT_EQ(extra.Arguments(), (Arguments{u"x", u"f(y)"}));

    EXPECT_EQ(Statement({u"a # b"}).Keyword(), u"a");
    EXPECT_TRUE(Statement({u"a)(b"}).Arguments().empty());

    const CommandLine empty = Statement({u""});
    EXPECT_EQ(empty.Keyword(), u"");
    EXPECT_FALSE(empty.IsContinued());
}

TEST(CommandLineTest, BeginTakesTheBlockNameAsPartOfTheKeyword)
{
    const CommandLine joined = Statement({u"beginscene(intro)"});
    const CommandLine spaced = Statement({u"begin scene(intro)"});
    EXPECT_EQ(spaced.Keyword(), u"beginscene");
    EXPECT_EQ(spaced.Keyword(), joined.Keyword());
    EXPECT_EQ(spaced.Arguments(), joined.Arguments());
    EXPECT_EQ(Statement({u"begin   menu(main, x=1)"}).Keyword(), u"beginmenu");

    EXPECT_EQ(ErrorOf({u"begin"}), "begin without a block name");
    EXPECT_EQ(ErrorOf({u"begin("}), "begin without a block name");
}

TEST(CommandLineTest, OpenParenthesesJoinLinesWithoutSeparator)
{
    CommandLine command;
    EXPECT_FALSE(command.AddLine(u"object(bg,"));
    EXPECT_TRUE(command.IsContinued());
    EXPECT_FALSE(command.AddLine(u"file=bg.png, pos=f(1"));
    EXPECT_TRUE(command.AddLine(u"))"));
    EXPECT_FALSE(command.IsContinued());
    EXPECT_EQ(command.Text(), u"object(bg,file=bg.png, pos=f(1))");
    EXPECT_EQ(command.Arguments(), (Arguments{u"bg"}));
    EXPECT_EQ(command.GetAttribute(u"file"), u"bg.png");
    EXPECT_EQ(command.GetAttribute(u"pos"), u"f(1)");

    // An empty line does not end an open parenthesis.
    CommandLine open;
    EXPECT_FALSE(open.AddLine(u"text(a,"));
    EXPECT_FALSE(open.AddLine(u""));
    EXPECT_TRUE(open.AddLine(u"b)"));
    EXPECT_EQ(open.Arguments(), (Arguments{u"a", u"b"}));
}

TEST(CommandLineTest, SpeechRunsUntilAnEmptyLineAndVoiceIsCompleteAtOnce)
{
    CommandLine speech;
    EXPECT_FALSE(speech.AddLine(u"Anna= Good"));
    EXPECT_EQ(speech.Keyword(), u"say");
    EXPECT_FALSE(speech.AddLine(u"morning"));
    EXPECT_FALSE(speech.AddLine(u"goto(x)"));
    EXPECT_TRUE(speech.AddLine(u""));
    EXPECT_EQ(speech.Arguments(), (Arguments{u"Anna", u" Goodmorninggoto(x)"}));

    EXPECT_EQ(Statement({u"Anna==Hi=there", u""}).Arguments(), (Arguments{u"Anna", u"Hi"}));
    EXPECT_EQ(Statement({u"=Hi", u""}).Arguments(), (Arguments{u"", u"Hi"}));
    EXPECT_EQ(Statement({u"Anna=", u""}).Arguments(), (Arguments{u"Anna", u""}));
    // The first word ends at a blank or '(', so these are ordinary statements.
    EXPECT_EQ(Statement({u"Anna =Hi"}).Keyword(), u"Anna");
    EXPECT_EQ(Statement({u"text(box,a=b)"}).Keyword(), u"text");

    // The written-out form is an ordinary statement and may span lines like any other.
    EXPECT_EQ(Statement({u"say(Anna,", u"Hi)"}).Arguments(), (Arguments{u"Anna", u"Hi"}));

    const CommandLine voice = Statement({u"voice== anna01.ogg "});
    EXPECT_EQ(voice.Keyword(), u"voice");
    EXPECT_EQ(voice.Arguments(), (Arguments{u"anna01.ogg"}));
}

TEST(CommandLineTest, ConditionalLineHasThreeUntrimmedParts)
{
    const CommandLine full = Statement({u"if a==1 then goto(x) else  goto(y)"});
    EXPECT_EQ(full.Keyword(), u"if");
    EXPECT_EQ(full.Arguments(), (Arguments{u"a==1", u"goto(x)", u" goto(y)"}));

    EXPECT_EQ(Statement({u"if a then b"}).Arguments(), (Arguments{u"a", u"b", u""}));
    EXPECT_EQ(Statement({u"if a then b else c else d"}).Arguments(), (Arguments{u"a", u"b", u"c else d"}));
    EXPECT_EQ(Statement({u"if(a>1) then b"}).Arguments(), (Arguments{u"(a>1)", u"b", u""}));
    // The else-part is searched after the whole " then ".
    EXPECT_EQ(Statement({u"if a then else b"}).Arguments(), (Arguments{u"a", u"else b", u""}));

    EXPECT_EQ(ErrorOf({u"if a"}), "if without then");
    EXPECT_EQ(ErrorOf({u"if"}), "if without then");
    EXPECT_EQ(ErrorOf({u"if a thenb"}), "if without then");
}

TEST(CommandLineTest, QuotedValuesRestoreCommasAndNeedAClosingQuote)
{
    const CommandLine text = Statement({u"text(box, \"Hello, world\", title=\"a,,b\", tail=\"x\"y, t=\"1:2\")"});
    EXPECT_EQ(text.Arguments(), (Arguments{u"box", u"Hello,  world"}));
    EXPECT_EQ(text.GetAttribute(u"title"), u"a, b");
    EXPECT_EQ(text.GetAttribute(u"tail"), u"x");
    EXPECT_EQ(text.GetAttribute(u"t"), u"1:2");
    EXPECT_EQ(text.GetAttribute(u"t1"), u"");

    EXPECT_EQ(Statement({u"f(\"\")"}).Arguments(), (Arguments{u""}));
    EXPECT_EQ(ErrorOf({u"text(box, \"never closed, at all)"}), "Ending quote missed");
    EXPECT_EQ(ErrorOf({u"text(\")"}), "Ending quote missed");
    // A second '=' cuts the value, quotes or not.
    EXPECT_EQ(ErrorOf({u"text(t=\"a=b\")"}), "Ending quote missed");
    EXPECT_EQ(Statement({u"f(\"a=b\")"}).GetAttribute(u"\"a"), u"b\"");
}

TEST(CommandLineTest, TrimsTheSixBlankCharacters)
{
    EXPECT_EQ(CommandLine::Trim(u" \t\r\n\v\fa b\f\v\n\r\t "), u"a b");
    EXPECT_EQ(CommandLine::Trim(u"\u00A0a"), u"\u00A0a");
    EXPECT_EQ(CommandLine::Trim(u" \t "), u"");
}
