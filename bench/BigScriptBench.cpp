// Compiling and reading scripts far larger than any game needs: many short statements, one very long line (a quoted
// text full of commas), and one statement left open over many lines. Each shape runs at a quarter, half and the
// full size, so the times show whether reading grows in step with the script or faster.
#include "data/CompileScripts.h"
#include "script/ParseManager.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kFullLines = 1000000;
constexpr std::int64_t kFullLineBytes = 10 * 1024 * 1024;

enum class Shape
{
    ManyLines,
    LongLine,
    OpenStatement,
};

void WriteScript(const fs::path& file, Shape shape, std::int64_t size)
{
    std::ofstream script(file, std::ios::binary);
    switch (shape) {
    case Shape::ManyLines:
        for (std::int64_t line = 0; line < size; ++line)
            script << "mark(line, value=" << line << ")\n";
        break;
    case Shape::LongLine: {
        script << "mark(text=\"";
        for (std::int64_t written = 0; written < size; written += 6)
            script << "word, ";
        script << "end\", last=yes)\n";
        break;
    }
    case Shape::OpenStatement:
        script << "mark(open,\n";
        for (std::int64_t line = 0; line < size; ++line)
            script << "item" << line << ",\n";
        script << "last)\n";
        break;
    }
}

// A fresh folder holding "script.vls" of the shape and size, removed when the benchmark ends.
class ScriptFolder
{
public:
    ScriptFolder(Shape shape, std::int64_t size)
        : m_folder(fs::temp_directory_path() / ("vel_bigbench_" + std::to_string(getpid())))
    {
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
        WriteScript(m_folder / "script.vls", shape, size);
    }
    ~ScriptFolder() { fs::remove_all(m_folder); }
    ScriptFolder(const ScriptFolder&) = delete;
    ScriptFolder& operator=(const ScriptFolder&) = delete;

    [[nodiscard]] const fs::path& Path() const { return m_folder; }

private:
    fs::path m_folder;
};

void CompileAndRead(benchmark::State& state, Shape shape)
{
    const ScriptFolder folder(shape, state.range(0));
    const fs::path previous = fs::current_path();
    fs::current_path(folder.Path());
    std::size_t arguments = 0;
    for (auto _ : state) {
        Vel::CompileScripts(".", Vel::CompileMode::Every);
        Vel::ParseManager parser;
        parser.AddHandler(u"mark", [&arguments](Vel::CommandLine& line) { arguments += line.Arguments().size(); });
        parser.Parse(u"script.vls");
        if (parser.HasError())
            state.SkipWithError("the script did not read");
    }
    benchmark::DoNotOptimize(arguments);
    fs::current_path(previous);
    state.SetComplexityN(state.range(0));
}

void BM_ManyLines(benchmark::State& state)
{
    CompileAndRead(state, Shape::ManyLines);
}

void BM_LongLine(benchmark::State& state)
{
    CompileAndRead(state, Shape::LongLine);
}

void BM_OpenStatement(benchmark::State& state)
{
    CompileAndRead(state, Shape::OpenStatement);
}

BENCHMARK(BM_ManyLines)
    ->Arg(kFullLines / 4)
    ->Arg(kFullLines / 2)
    ->Arg(kFullLines)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_LongLine)
    ->Arg(kFullLineBytes / 4)
    ->Arg(kFullLineBytes / 2)
    ->Arg(kFullLineBytes)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_OpenStatement)
    ->Arg(kFullLines / 4)
    ->Arg(kFullLines / 2)
    ->Arg(kFullLines)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

} // namespace

BENCHMARK_MAIN();
