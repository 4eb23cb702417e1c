#include "app/CoverageReport.h"

#include "app/JsonText.h"
#include "core/TextCodec.h"
#include "scene/StatementSource.h"
#include "scene/StoryCoverage.h"

#include <cstdio>
#include <fstream>
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

std::string CoverageReport::Json(const std::vector<std::u16string>& scenes)
{
    // 1. The statements of each file, in the order the files were read.
    const std::vector<std::u16string>& files = StatementSource::Files();
    std::vector<std::set<std::int32_t>> statements(files.size()), ran(files.size());
    for (const StatementSource::Place& place : StatementSource::Places())
        statements[place.file].insert(place.line);
    // 2. Those that ran; a file that no longer makes commands (scripts read anew in development) is left out.
    std::map<std::u16string, std::size_t> index;
    for (std::size_t i = 0; i < files.size(); ++i)
        index.emplace(files[i], i);
    for (const auto& [file, line] : StoryCoverage::RanStatements()) {
        if (const auto found = index.find(file); found != index.end() && statements[found->second].count(line) != 0)
            ran[found->second].insert(line);
    }
    // 3. The JSON.
    std::string out = "{\"version\": " + std::to_string(kVersion) + ",\n \"files\": [";
    for (std::size_t i = 0; i < files.size(); ++i) {
        out += i == 0 ? "\n  {\"file\": " : ",\n  {\"file\": ";
        AppendJsonString(out, TextCodec::WideToUtf8(files[i]));
        out += ", \"statements\": ";
        AppendLines(out, statements[i]);
        out += ", \"ran\": ";
        AppendLines(out, ran[i]);
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
    const std::string temporary = fileName + ".new";
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << Json(scenes);
    file.close();
    if (!file || std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "cannot write the coverage file " + fileName;
        return false;
    }
    return true;
}

} // namespace Vel
