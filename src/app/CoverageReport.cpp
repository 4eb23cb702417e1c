#include "app/CoverageReport.h"

#include "core/TextCodec.h"
#include "core/TextFile.h"
#include "scene/StatementSource.h"
#include "scene/StoryCoverage.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>

namespace Vel {

CoverageFile CoverageReport::Coverage(const std::vector<std::u16string>& scenes)
{
    // 1. The statements of each script, in the order the scripts were read.
    CoverageFile coverage;
    for (const std::u16string& file : StatementSource::Files())
        coverage.scripts.push_back({TextCodec::WideToUtf8(file), {}, {}});
    for (const StatementSource::Place& place : StatementSource::Places())
        coverage.scripts[place.file].statements.insert(place.line);
    // 2. Those that ran; a script that no longer makes commands (scripts read anew in development) is left out.
    for (const auto& [file, line] : StoryCoverage::RanStatements()) {
        const std::string name = TextCodec::WideToUtf8(file);
        for (CoverageFile::Script& script : coverage.scripts) {
            if (script.file == name && script.statements.count(line) != 0)
                script.ran.insert(line);
        }
    }
    // 3. The scenes, in the order they were defined.
    const std::set<std::u16string>& reached = StoryCoverage::ReachedScenes();
    for (const std::u16string& scene : scenes)
        coverage.scenes.push_back({TextCodec::WideToUtf8(scene), reached.count(scene) != 0});
    return coverage;
}

namespace {

bool WriteWhole(const std::string& fileName, const std::string& json, std::string& error)
{
    if (WriteTextFile(fileName, json, error))
        return true;
    error = "cannot write the coverage file " + fileName;
    return false;
}

std::string Unreached(const CoverageFile& coverage, std::size_t files)
{
    std::size_t statements = 0, ran = 0;
    std::string lines;
    for (const CoverageFile::Script& script : coverage.scripts) {
        statements += script.statements.size();
        ran += script.ran.size();
        std::string missing;
        for (const std::int32_t line : script.statements) {
            if (script.ran.count(line) == 0)
                missing += (missing.empty() ? "" : ", ") + std::to_string(line);
        }
        if (!missing.empty())
            lines += "  " + script.file + ": " + missing + "\n";
    }
    std::string scenes;
    for (const CoverageFile::Scene& scene : coverage.scenes) {
        if (!scene.reached)
            scenes += (scenes.empty() ? "" : ", ") + scene.name;
    }
    std::string report = std::to_string(files) + (files == 1 ? " coverage file: " : " coverage files: ") +
                         std::to_string(ran) + " of " + std::to_string(statements) + " statements ran\n";
    report += lines.empty() ? "Every statement ran.\n" : "Statements that no run reached (file: lines):\n" + lines;
    report += scenes.empty() ? "Every scene was reached.\n" : "Scenes that no run reached: " + scenes + "\n";
    return report;
}

} // namespace

int CoverageReport::Merge(const std::vector<std::string>& files, const std::string& jsonFile)
{
    // 1. Every file read before anything is merged.
    CoverageFile merged;
    for (const std::string& name : files) {
        std::ifstream file(name, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::string error;
        const std::optional<CoverageFile> coverage =
            file ? CoverageFile::Read(text, name, error) : std::optional<CoverageFile>();
        if (!coverage) {
            std::fprintf(stderr, "velloria explore: %s\n", error.empty() ? (name + ": cannot be read").c_str()
                                                                         : error.c_str());
            return 1;
        }
        merged.Merge(*coverage);
    }
    // 2. What no one reached, and the merged file.
    std::fputs(Unreached(merged, files.size()).c_str(), stdout);
    std::string error;
    if (!jsonFile.empty() && !WriteWhole(jsonFile, merged.Json(), error)) {
        std::fprintf(stderr, "velloria explore: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

bool CoverageReport::Write(const std::string& fileName, const std::vector<std::u16string>& scenes, std::string& error)
{
    return WriteWhole(fileName, Coverage(scenes).Json(), error);
}

} // namespace Vel
