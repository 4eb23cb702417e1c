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

// Writes the script with write, then compiles and reads it in a folder of its own. Returns what the "mark" statements
// left: how many there were, the most arguments one had, and the last one's first argument, "last" attribute and
// length of its "text" attribute.
template <typename Write> std::string CompileAndRead(Write write)
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
    std::int64_t count = 0;
    std::size_t mostArguments = 0;
    std::string last;
    ParseManager parser;
    parser.AddHandler(u"mark", [&](CommandLine& line) {
        ++count;
        mostArguments = std::max(mostArguments, line.Arguments().size());
        last = TextCodec::WideToUtf8(line.GetArgument(0) + u" last=" + line.GetAttribute(u"last")) + " text of " +
               std::to_string(line.GetAttribute(u"text").size());
    });
    parser.Parse(u"script.vls");
    EXPECT_FALSE(parser.HasError()) << TextCodec::WideToUtf8(parser.ErrorReport());
    return std::to_string(count) + " marks of up to " + std::to_string(mostArguments) + " arguments, the last " + last;
}

TEST(BigScriptTest, AMillionLinesATenMegabyteLineAndAMillionLineStatementReadWhole)
{
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CompileAndRead([](std::ofstream& script) {
                  for (std::int64_t line = 0; line < kLines; ++line)
                      script << "mark(line" << line << ", last=" << line << ")\n";
              }),
              "1000000 marks of up to 1 arguments, the last line999999 last=999999 text of 0");
    // The whole quoted text is one value, each restored comma with an added blank as in a short one.
    EXPECT_EQ(CompileAndRead([](std::ofstream& script) {
                  script << "mark(first, text=\"";
                  for (std::int64_t written = 0; written < kLineBytes; written += 6)
                      script << "word, ";
                  script << "end\", last=yes)";
              }),
              "1 marks of up to 1 arguments, the last first last=yes text of 12233392");
    // The statement after the long one is read on its own.
    EXPECT_EQ(CompileAndRead([](std::ofstream& script) {
                  script << "mark(open,\n";
                  for (std::int64_t line = 0; line < kLines; ++line)
                      script << "item" << line << ",\n";
                  script << "end)\nmark(after)\n";
              }),
              "2 marks of up to 1000002 arguments, the last after last= text of 0");
    // A generous bound: linear reading takes a few seconds even under AddressSanitizer, quadratic reading hours.
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

} // namespace
} // namespace Vel
