// Scripts far larger than any game needs still compile and read completely, in time growing with their size: a
// million statements, one line of ten megabytes (a quoted text full of commas), and one statement left open over a
// million lines. Each would take hours if a line or a piece were searched again from the start every time.
#include "TempFolder.h"
#include "core/TextCodec.h"
#include "data/CompileScripts.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <fstream>
#include <string>

namespace Vel {
namespace {

constexpr std::int64_t kLines = 1000000;
constexpr std::int64_t kLineBytes = 10 * 1024 * 1024;

// What the "mark" statements left: how many there were, the most arguments one had, and what the last one held.
struct Marks
{
    std::int64_t count = 0;
    std::size_t mostArguments = 0;
    std::u16string first;
    std::u16string lastAttribute;
    std::size_t textLength = 0;
};

// Writes the script with write, then compiles and reads it in a folder of its own.
template <typename Write> Marks CompileAndRead(Write write)
{
    TestTools::TempFolder folder;
    {
        std::ofstream script(folder.File("script.vls"), std::ios::binary);
        write(script);
    }
    folder.Enter();
    const CompileResult compiled = CompileScripts(".");
    EXPECT_EQ(compiled.compiled, 1);
    EXPECT_TRUE(compiled.warnings.empty());
    Marks marks;
    ParseManager parser;
    parser.AddHandler(u"mark", [&marks](CommandLine& line) {
        ++marks.count;
        marks.mostArguments = std::max(marks.mostArguments, line.Arguments().size());
        marks.first = line.GetArgument(0);
        marks.lastAttribute = line.GetAttribute(u"last");
        marks.textLength = line.GetAttribute(u"text").size();
    });
    parser.Parse(u"script.vls");
    EXPECT_FALSE(parser.HasError()) << TextCodec::WideToUtf8(parser.ErrorReport());
    return marks;
}

TEST(BigScriptTest, AMillionLinesATenMegabyteLineAndAMillionLineStatementReadWhole)
{
    const auto start = std::chrono::steady_clock::now();
    {
        const Marks marks = CompileAndRead([](std::ofstream& script) {
            for (std::int64_t line = 0; line < kLines; ++line)
                script << "mark(line" << line << ", last=" << line << ")\n";
        });
        EXPECT_EQ(marks.count, kLines);
        EXPECT_EQ(marks.first, u"line999999");
        EXPECT_EQ(marks.lastAttribute, u"999999");
    }
    {
        const Marks marks = CompileAndRead([](std::ofstream& script) {
            script << "mark(first, text=\"";
            for (std::int64_t written = 0; written < kLineBytes; written += 6)
                script << "word, ";
            script << "end\", last=yes)";
        });
        EXPECT_EQ(marks.count, 1);
        EXPECT_EQ(marks.first, u"first");
        EXPECT_EQ(marks.lastAttribute, u"yes");
        EXPECT_GT(marks.textLength, static_cast<std::size_t>(kLineBytes)) << "the whole quoted text is one value";
    }
    {
        const Marks marks = CompileAndRead([](std::ofstream& script) {
            script << "mark(open,\n";
            for (std::int64_t line = 0; line < kLines; ++line)
                script << "item" << line << ",\n";
            script << "end)\nmark(after)\n";
        });
        EXPECT_EQ(marks.count, 2);
        EXPECT_EQ(marks.mostArguments, static_cast<std::size_t>(kLines + 2));
        EXPECT_EQ(marks.first, u"after") << "the statement after the long one is read on its own";
    }
    // A generous bound: linear reading takes a few seconds even under AddressSanitizer, quadratic reading hours.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

} // namespace
} // namespace Vel
