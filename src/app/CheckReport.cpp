#include "app/CheckReport.h"

#include "core/JsonText.h"

#include <algorithm>

namespace Vel {

namespace {

const char* SeverityName(CheckFinding::Severity severity)
{
    return severity == CheckFinding::Severity::Error ? "error" : "warning";
}

// The line number of "FILE:LINE: TEXT" starts after the first colon that is followed by digits and ": ".
bool SplitPosition(std::string_view text, CheckFinding& finding)
{
    for (std::size_t colon = text.find(':'); colon != std::string_view::npos; colon = text.find(':', colon + 1)) {
        std::size_t end = colon + 1;
        while (end < text.size() && end - colon <= 9 && text[end] >= '0' && text[end] <= '9')
            ++end;
        if (end == colon + 1 || end - colon > 9 || text.substr(end, 2) != ": ")
            continue;
        finding.file = std::string(text.substr(0, colon));
        finding.line = std::stoi(std::string(text.substr(colon + 1, end - colon - 1)));
        finding.message = std::string(text.substr(end + 2));
        return true;
    }
    return false;
}

// The value of the report's "NAME: value" line; empty when it has none.
std::string ReportField(const std::string& report, std::string_view name, bool toEnd)
{
    const std::string key = "\n" + std::string(name) + ": ";
    const std::size_t at = report.find(key);
    if (at == std::string::npos)
        return {};
    const std::size_t start = at + key.size();
    const std::size_t end = toEnd ? std::string::npos : report.find('\n', start);
    return report.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string Plural(std::size_t count, const char* noun)
{
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

} // namespace

void CheckReport::AddWarning(std::string_view warning)
{
    CheckFinding finding;
    if (!SplitPosition(warning, finding))
        finding.message = std::string(warning);
    m_findings.push_back(std::move(finding));
}

void CheckReport::AddScriptError(const std::string& report)
{
    CheckFinding finding;
    finding.severity = CheckFinding::Severity::Error;
    finding.file = ReportField(report, "File", false);
    const std::string line = ReportField(report, "Line", false);
    finding.line = line.empty() || line.size() > 9 ? 0 : std::stoi(line);
    finding.message = ReportField(report, "Info", true);
    finding.report = report;
    m_findings.push_back(std::move(finding));
}

bool CheckReport::HasErrors() const
{
    return Count(CheckFinding::Severity::Error) > 0;
}

bool CheckReport::HasWarnings() const
{
    return Count(CheckFinding::Severity::Warning) > 0;
}

std::size_t CheckReport::Count(CheckFinding::Severity severity) const
{
    return static_cast<std::size_t>(std::count_if(
        m_findings.begin(), m_findings.end(), [severity](const CheckFinding& f) { return f.severity == severity; }));
}

std::string CheckReport::Text() const
{
    std::string out;
    for (const CheckFinding& finding : m_findings) {
        if (!finding.file.empty())
            out += finding.file + (finding.line > 0 ? ":" + std::to_string(finding.line) : std::string()) + ": ";
        out += std::string(SeverityName(finding.severity)) + ": " + finding.message + "\n";
        if (!finding.report.empty())
            out += finding.report + "\n";
    }
    if (!m_findings.empty())
        out += Plural(Count(CheckFinding::Severity::Error), "error") + ", " +
               Plural(Count(CheckFinding::Severity::Warning), "warning") + "\n";
    return out;
}

std::string CheckReport::Json() const
{
    std::string out = "[";
    for (const CheckFinding& finding : m_findings) {
        out += out.size() > 1 ? ",\n {\"file\": " : "\n {\"file\": ";
        AppendJsonString(out, finding.file);
        out += ", \"line\": " + std::to_string(finding.line) + ", \"severity\": \"" + SeverityName(finding.severity) +
               "\", \"message\": ";
        AppendJsonString(out, finding.message);
        out += "}";
    }
    out += m_findings.empty() ? "]\n" : "\n]\n";
    return out;
}

void CheckReport::Print(CheckFormat format) const
{
    if (format == CheckFormat::Json)
        std::fputs(Json().c_str(), stdout);
    else
        std::fputs(Text().c_str(), stderr);
}

} // namespace Vel
