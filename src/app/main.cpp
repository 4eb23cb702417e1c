#include "app/Engine.h"
#include "app/CoverageReport.h"
#include "app/EngineOptions.h"
#include "app/StarterGame.h"
#include "core/HgeManager.h"
#include "platform/ArchiveWriter.h"
#include "resources/FontGenerator.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Pack(const Vel::EngineOptions& options)
{
    std::string error;
    if (!Vel::ArchiveWriter::Pack(options.packArchive, options.packPaths, Vel::HgeManager::kArchivePassword, error)) {
        std::fprintf(stderr, "velloria pack: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int FontGen(const Vel::EngineOptions& options)
{
    std::string error;
    if (!Vel::FontGenerator::Generate(options.fontFile, options.fontSize, options.codePage, options.fontOut, error)) {
        std::fprintf(stderr, "velloria fontgen: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

int NewGame(const Vel::EngineOptions& options)
{
    std::string error;
    if (!Vel::StarterGame::Write(options.starter, error)) {
        std::fprintf(stderr, "velloria new: %s\n", error.c_str());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    const auto options = Vel::EngineOptions::Parse(arguments, error);
    if (!options) {
        std::fprintf(stderr, "velloria: %s\n%s", error.c_str(), Vel::EngineOptions::Usage());
        return 2;
    }
    switch (options->mode) {
    case Vel::EngineOptions::Mode::Help:
        std::fputs(Vel::EngineOptions::Usage(), stdout);
        return 0;
    case Vel::EngineOptions::Mode::Pack:
        return Pack(*options);
    case Vel::EngineOptions::Mode::FontGen:
        return FontGen(*options);
    case Vel::EngineOptions::Mode::New:
        return NewGame(*options);
    case Vel::EngineOptions::Mode::Merge:
        return Vel::CoverageReport::Merge(options->coverageFiles, options->exploreJson);
    case Vel::EngineOptions::Mode::Compile:
        return Vel::Engine(*options).Compile();
    case Vel::EngineOptions::Mode::Check:
        return Vel::Engine(*options).Check();
    case Vel::EngineOptions::Mode::Translate:
        return Vel::Engine(*options).Translate();
    case Vel::EngineOptions::Mode::Explore:
        return Vel::Engine(*options).Explore();
    case Vel::EngineOptions::Mode::Run:
        break;
    }
    return Vel::Engine(*options).Run();
}
