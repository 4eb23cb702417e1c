// The two forms of a check finding: the compiler convention editors match and the JSON tools read, with file names
// that hold colons, findings without a line or a file, and text that needs escaping.
#include "app/CheckReport.h"

#include <gtest/gtest.h>

namespace {

using Vel::CheckReport;

struct Case
{
    const char* warning;
    const char* text; // the finding's line
    const char* json; // the finding's object
};

const Case kCases[] = {
    {"story.vls:72: goto names 'x'", "story.vls:72: warning: goto names 'x'",
     R"({"file": "story.vls", "line": 72, "severity": "warning", "message": "goto names 'x'"})"},
    {"a:b.vls:3: x: 4: y", "a:b.vls:3: warning: x: 4: y",
     R"({"file": "a:b.vls", "line": 3, "severity": "warning", "message": "x: 4: y"})"},
    {"font 'f': its picture f.png is missing", "warning: font 'f': its picture f.png is missing",
     R"({"file": "", "line": 0, "severity": "warning", "message": "font 'f': its picture f.png is missing"})"},
    {"s.vls:1: \"q\" C:\\d\x01\ttab Привет", "s.vls:1: warning: \"q\" C:\\d\x01\ttab Привет",
     R"({"file": "s.vls", "line": 1, "severity": "warning", "message": "\"q\" C:\\d\u0001\ttab Привет"})"},
    {"caf\xe9.vls:2: x", "caf\xe9.vls:2: warning: x",
     R"({"file": "caf�.vls", "line": 2, "severity": "warning", "message": "x"})"},
};

TEST(CheckReportTest, EachFindingInBothForms)
{
    for (const Case& test : kCases) {
        CheckReport report;
        report.AddWarning(test.warning);
        EXPECT_EQ(report.Text(), std::string(test.text) + "\n0 errors, 1 warning\n") << test.warning;
        EXPECT_EQ(report.Json(), std::string("[\n ") + test.json + "\n]\n") << test.warning;
    }
}

TEST(CheckReportTest, AScriptErrorIsFollowedByItsReportAndNothingFoundIsSaidByNothing)
{
    CheckReport report;
    EXPECT_EQ(report.Text(), "");
    EXPECT_EQ(report.Json(), "[]\n");
    const std::string error = "Script error\nFile: sub/a.vls\nLine: 18\nInfo: Statement not closed: x";
    report.AddWarning("b.vls:2: w");
    report.AddScriptError(error);
    EXPECT_TRUE(report.HasErrors());
    EXPECT_EQ(report.Text(),
              "b.vls:2: warning: w\nsub/a.vls:18: error: Statement not closed: x\n" + error + "\n1 error, 1 warning\n");
    EXPECT_EQ(report.Json(), "[\n {\"file\": \"b.vls\", \"line\": 2, \"severity\": \"warning\", \"message\": \"w\"},\n"
                             " {\"file\": \"sub/a.vls\", \"line\": 18, \"severity\": \"error\", \"message\": "
                             "\"Statement not closed: x\"}\n]\n");
}

} // namespace
