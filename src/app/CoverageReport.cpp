#include "app/CoverageReport.h"

#include "app/JsonText.h"
#include "core/TextCodec.h"
#include "scene/StatementSource.h"
#include "scene/StoryCoverage.h"

#include <cstdio>
#include <map>
#include <set>

namespace Vel {

namespace {

void AppendLines(std::string& out, const std::set<std::int32_t>& lines)
{
    out += '[';
    const char* separator = "";
    for (const std::int32_t line : lines) {
        out += separator + std::to_string(line);
        separator = ", ";
    }
    out += ']';
}

} // namespace

std::vector<CoverageReport::FileLines> CoverageReport::Files()
{
    // 1. The statements of each file, in the order the files were read.
    const std::vector<std::u16string>& names = StatementSource::Files();
    std::vector<FileLines> files(names.size());
    for (std::size_t i = 0; i < names.size(); ++i)
        files[i].file = names[i];
    for (const StatementSource::Place& place : StatementSource::Places())
        files[place.file].statements.insert(place.line);
    // 2. Those that ran; a file that no longer makes commands (scripts read anew in development) is left out.
    std::map<std::u16string, std::size_t> index;
    for (std::size_t i = 0; i < names.size(); ++i)
        index.emplace(names[i], i);
    for (const auto& [file, line] : StoryCoverage::RanStatements()) {
        if (const auto found = index.find(file); found != index.end() && files[found->second].statements.count(line))
            files[found->second].ran.insert(line);
    }
    return files;
}

std::string CoverageReport::Json(const std::vector<std::u16string>& scenes)
{
    const std::vector<FileLines> files = Files();
    std::string out = "{\"version\": " + std::to_string(kVersion) + ",\n \"files\": [";
    for (std::size_t i = 0; i < files.size(); ++i) {
        out += i == 0 ? "\n  {\"file\": " : ",\n  {\"file\": ";
        AppendJsonString(out, TextCodec::WideToUtf8(files[i].file));
        out += ", \"statements\": ";
        AppendLines(out, files[i].statements);
        out += ", \"ran\": ";
        AppendLines(out, files[i].ran);
        out += '}';
    }
    out += "],\n \"scenes\": [";
    const std::set<std::u16string>& reached = StoryCoverage::ReachedScenes();
    for (std::size_t i = 0; i < scenes.size(); ++i) {
        out += i == 0 ? "\n  {\"name\": " : ",\n  {\"name\": ";
        AppendJsonString(out, TextCodec::WideToUtf8(scenes[i]));
        out += reached.count(scenes[i]) != 0 ? ", \"reached\": true}" : ", \"reached\": false}";
    }
    return out + "]}\n";
}

bool CoverageReport::Write(const std::string& fileName, const std::vector<std::u16string>& scenes, std::string& error)
{
    if (WriteJsonFile(fileName, Json(scenes), error))
        return true;
    error = "cannot write the coverage file " + fileName;
    return false;
}

} // namespace Vel
