// Compiling and reading a large generated script: 100,000 statements of the kinds a long game is made of; and the
// check at start-up that finds nothing to compile, with the source's time settled (a game not edited just before
// its start), with the source just saved (hashed on every start), and the cost of hashing the twin too.
#include "data/CompileScripts.h"
#include "data/CompileStamp.h"
#include "data/LoadFile.h"
#include "script/ParseManager.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kStatements = 100000;

// Writes script.vls with kStatements statements into a fresh folder; returns the folder.
fs::path MakeGame()
{
    const fs::path folder = fs::temp_directory_path() / ("vel_bench_" + std::to_string(getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::ofstream script(folder / "script.vls", std::ios::binary);
    for (int i = 0; i < kStatements; i += 5) {
        script << "# scene part " << i << "\n";
        script << "object(bg" << i << ", file=\"pictures/bg" << i << ".png\", pos=10:20, layer=2, alpha=100)\n";
        script << "move(bg" << i << ", pos=400:300, time=1500, wait=yes)\n";
        script << "game_init(title=\"Chapter " << i << ", the return\", gallery=gal, saveload=sl)\n";
        script << "Anna=Good morning, this is line " << i << " of a rather long story.\n\n";
        script << "graphics_init(resolution=800:600,\n  fullscreen=0)\n";
    }
    return folder;
}

// The generated game, made once for all benchmarks and removed when the program ends.
class GameFolder
{
public:
    GameFolder() : m_previous(fs::current_path()), m_folder(MakeGame()) { fs::current_path(m_folder); }
    ~GameFolder()
    {
        fs::current_path(m_previous);
        fs::remove_all(m_folder);
    }

private:
    fs::path m_previous;
    fs::path m_folder;
};

class ScriptFixture : public benchmark::Fixture
{
public:
    void SetUp(const benchmark::State&) override { static GameFolder s_game; }
};

BENCHMARK_DEFINE_F(ScriptFixture, Compile100kStatements)(benchmark::State& state)
{
    for (auto _ : state) {
        const Vel::CompileResult result = Vel::CompileScripts(".", Vel::CompileMode::Every);
        benchmark::DoNotOptimize(result.compiled);
    }
}

void StartCheck(benchmark::State& state, fs::file_time_type sourceTime)
{
    fs::last_write_time("script.vls", sourceTime);
    Vel::CompileScripts(".", Vel::CompileMode::Every);
    for (auto _ : state)
        if (Vel::CompileScripts(".").compiled != 0)
            state.SkipWithError("an unchanged script was compiled");
    state.counters["source_bytes"] = static_cast<double>(fs::file_size("script.vls"));
}

BENCHMARK_DEFINE_F(ScriptFixture, StartCheckUnchanged)(benchmark::State& state)
{
    StartCheck(state, fs::file_time_type::clock::now() - std::chrono::hours(1));
}

BENCHMARK_DEFINE_F(ScriptFixture, StartCheckJustSaved)(benchmark::State& state)
{
    StartCheck(state, fs::file_time_type::clock::now());
}

BENCHMARK_DEFINE_F(ScriptFixture, HashTwin)(benchmark::State& state)
{
    Vel::CompileScripts(".", Vel::CompileMode::Every);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Vel::CompileStamp::Hash(Vel::LoadDiskFile("script.cvls").value_or("")));
    }
    state.counters["twin_bytes"] = static_cast<double>(fs::file_size("script.cvls"));
}

BENCHMARK_DEFINE_F(ScriptFixture, Read100kStatements)(benchmark::State& state)
{
    Vel::CompileScripts(".");
    for (auto _ : state) {
        Vel::ParseManager parser;
        parser.Parse(u"script.vls");
        benchmark::DoNotOptimize(parser.HasError());
    }
}

BENCHMARK_REGISTER_F(ScriptFixture, Compile100kStatements)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_REGISTER_F(ScriptFixture, Read100kStatements)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_REGISTER_F(ScriptFixture, StartCheckUnchanged)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_REGISTER_F(ScriptFixture, StartCheckJustSaved)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_REGISTER_F(ScriptFixture, HashTwin)->Unit(benchmark::kMillisecond)->MinTime(1.0);

} // namespace

BENCHMARK_MAIN();
