#pragma once

// What "velloria check" found, said two ways: one "FILE:LINE: error: TEXT" or "FILE:LINE: warning: TEXT" line per
// finding on stderr, the convention of compilers that editors' problem matchers and `grep -n` users know, with a
// summary last; or a JSON array on stdout for tools. The check and the compile commands fill it as they read.

#include <string>
#include <string_view>
#include <vector>

namespace Vel {

enum class CheckFormat
{
    Text, // lines on stderr
    Json, // an array on stdout
};

struct CheckFinding
{
    enum class Severity
    {
        Error,
        Warning,
    };
    std::string file; // relative to the game folder; empty when the finding belongs to no script
    int line = 0;     // 0 when it belongs to no line
    Severity severity = Severity::Warning;
    std::string message; // UTF-8
    std::string report;  // a script error's full report, shown under its line; empty for warnings
};

class CheckReport
{
public:
    // A warning as the compiler, the reader and the linter word it: "FILE:LINE: TEXT", or TEXT alone.
    void AddWarning(std::string_view warning);
    // The reader's report, "Script error\nFile: F\nLine: N\nInfo: MESSAGE" (UTF-8).
    void AddScriptError(const std::string& report);

    [[nodiscard]] bool HasErrors() const;
    [[nodiscard]] bool HasWarnings() const;
    [[nodiscard]] const std::vector<CheckFinding>& Findings() const { return m_findings; }

    // Nothing at all in text form when there is nothing to say, "[]" in JSON.
    [[nodiscard]] std::string Text() const;
    [[nodiscard]] std::string Json() const;
    void Print(CheckFormat format) const;

private:
    [[nodiscard]] std::size_t Count(CheckFinding::Severity severity) const;

    std::vector<CheckFinding> m_findings;
};

} // namespace Vel
