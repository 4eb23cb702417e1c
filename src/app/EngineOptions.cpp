#include "app/EngineOptions.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace Vel {

namespace {

bool ToInt(const std::string& text, int& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || parsed < 0 || parsed > 1000000000)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool ToSeconds(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    const double parsed = std::strtod(text.c_str(), &end);
    if (*end != '\0' || !std::isfinite(parsed) || parsed <= 0.0 || parsed > 10.0)
        return false;
    value = parsed;
    return true;
}

bool ToSize(const std::string& text, int& width, int& height)
{
    const auto x = text.find('x');
    return x != std::string::npos && ToInt(text.substr(0, x), width) && ToInt(text.substr(x + 1), height) &&
           width > 0 && height > 0;
}

bool ToAssignment(const std::string& text, std::vector<std::pair<std::string, std::string>>& assignments)
{
    const auto equals = text.find('=');
    if (equals == 0 || equals == std::string::npos)
        return false;
    assignments.emplace_back(text.substr(0, equals), text.substr(equals + 1));
    return true;
}

bool ToSnapshot(const std::string& text, SnapshotRequest& request)
{
    const auto colon = text.find(':');
    if (colon == std::string::npos || !ToInt(text.substr(0, colon), request.frame) || request.frame < 1)
        return false;
    request.fileName = text.substr(colon + 1);
    const auto dot = request.fileName.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : request.fileName.substr(dot);
    return extension == ".png" || extension == ".bmp";
}

// One "--name value" option of a run; false with error set when the value is missing or wrong.
bool ApplyRunOption(EngineOptions& options, const std::string& name, const std::string* value, std::string& error)
{
    PlatformOptions& platform = options.platform;
    if (name == "--headless") {
        platform.headless = true;
        return true;
    }
    if (name == "--dev") {
        options.dev = true;
        return true;
    }
    if (!value) {
        error = "option " + name + " needs a value";
        return false;
    }
    bool ok = true;
    if (name == "--desktop")
        ok = ToSize(*value, platform.desktopWidth, platform.desktopHeight);
    else if (name == "--frames")
        ok = ToInt(*value, platform.maxFrames) && platform.maxFrames > 0;
    else if (name == "--dt")
        ok = ToSeconds(*value, platform.fixedDelta);
    else if (name == "--input")
        options.inputFile = *value;
    else if (name == "--snapshot") {
        SnapshotRequest request;
        ok = ToSnapshot(*value, request);
        platform.snapshots.push_back(request);
    } else if (name == "--user-dir")
        options.userFolder = *value;
    else if (name == "--trace")
        options.traceFile = *value;
    else if (name == "--coverage")
        options.coverageFile = *value;
    else if (name == "--audio-out")
        platform.audioOutFile = *value;
    else if (name == "--lang")
        options.language = *value;
    else if (name == "--scene") {
        options.startScene = *value;
        options.dev = true;
        ok = !value->empty();
    } else if (name == "--set")
        ok = ToAssignment(*value, options.setTriggers);
    else {
        error = "unknown option " + name;
        return false;
    }
    if (!ok)
        error = "bad value for " + name + ": '" + *value + "'";
    return ok;
}

bool TakesValue(const std::string& name)
{
    return name != "--headless" && name != "--dev";
}

std::optional<EngineOptions> ParseRun(const std::vector<std::string>& arguments, std::string& error)
{
    EngineOptions options;
    bool haveFolder = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.mode = EngineOptions::Mode::Help;
            return options;
        }
        if (argument.rfind("--", 0) != 0) {
            if (haveFolder) {
                error = "more than one game folder: '" + argument + "'";
                return std::nullopt;
            }
            options.gameFolder = argument;
            haveFolder = true;
            continue;
        }
        const bool hasValue = TakesValue(argument) && i + 1 < arguments.size();
        const std::string* value = hasValue ? &arguments[++i] : nullptr;
        if (!ApplyRunOption(options, argument, value, error))
            return std::nullopt;
    }
    return options;
}

// fontgen TTF SIZE OUT.fnt [--codepage CP]
std::optional<EngineOptions> ParseFontGen(const std::vector<std::string>& arguments, std::string& error)
{
    EngineOptions options;
    options.mode = EngineOptions::Mode::FontGen;
    std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
    const auto codePage = std::find(rest.begin(), rest.end(), std::string("--codepage"));
    if (codePage != rest.end()) {
        if (codePage + 1 == rest.end()) {
            error = "option --codepage needs a value";
            return std::nullopt;
        }
        options.codePage = *(codePage + 1);
        rest.erase(codePage, codePage + 2);
    }
    if (rest.size() != 3 || !ToInt(rest[1], options.fontSize) || options.fontSize < 4 || options.fontSize > 512) {
        error = "fontgen takes a TrueType font, a pixel size (4 to 512) and the .fnt file to write";
        return std::nullopt;
    }
    options.fontFile = rest[0];
    options.fontOut = rest[2];
    return options;
}

// new DIR [--title TEXT] [--size WxH]
std::optional<EngineOptions> ParseNew(const std::vector<std::string>& arguments, std::string& error)
{
    EngineOptions options;
    options.mode = EngineOptions::Mode::New;
    StarterOptions& starter = options.starter;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        const bool named = argument == "--title" || argument == "--size";
        if (named && i + 1 == arguments.size()) {
            error = "option " + argument + " needs a value";
            return std::nullopt;
        }
        if (argument == "--title") {
            starter.title = arguments[++i];
            if (starter.title.empty() || !StarterGame::IsUsableTitle(starter.title)) {
                error = "--title takes a text without double quotes";
                return std::nullopt;
            }
        } else if (argument == "--size") {
            if (!ToSize(arguments[++i], starter.width, starter.height) || starter.width < StarterGame::kMinWidth ||
                starter.height < StarterGame::kMinHeight || starter.width > StarterGame::kMaxSide ||
                starter.height > StarterGame::kMaxSide) {
                error = "--size takes WIDTHxHEIGHT from " + std::to_string(StarterGame::kMinWidth) + "x" +
                        std::to_string(StarterGame::kMinHeight) + " to " + std::to_string(StarterGame::kMaxSide) +
                        "x" + std::to_string(StarterGame::kMaxSide);
                return std::nullopt;
            }
        } else if (starter.folder.empty() && argument.rfind("--", 0) != 0) {
            starter.folder = argument;
        } else {
            error = "new takes one folder, --title TEXT and --size WxH";
            return std::nullopt;
        }
    }
    if (starter.folder.empty()) {
        error = "new takes the folder of the game to make";
        return std::nullopt;
    }
    if (starter.title.empty() && !StarterGame::IsUsableTitle(std::filesystem::path(starter.folder).filename().string())) {
        error = "the folder's name would be the title, and it has a double quote: give a --title";
        return std::nullopt;
    }
    return options;
}

// explore --merge FILE... [--json FILE]
std::optional<EngineOptions> ParseMerge(const std::vector<std::string>& arguments, std::string& error)
{
    EngineOptions options;
    options.mode = EngineOptions::Mode::Merge;
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        if (arguments[i] != "--json") {
            options.coverageFiles.push_back(arguments[i]);
        } else if (i + 1 < arguments.size() && options.exploreJson.empty()) {
            options.exploreJson = arguments[++i];
        } else {
            error = "--json takes one file to write";
            return std::nullopt;
        }
    }
    if (options.coverageFiles.empty()) {
        error = "explore --merge takes the coverage files to merge";
        return std::nullopt;
    }
    return options;
}

// explore GAME_DIR [--scene NAME] [--set NAME=VALUE]... [--max-states N] [--seconds S] [--json FILE]
bool ApplyExploreOption(EngineOptions& options, const std::string& name, const std::string& value)
{
    if (name == "--scene") {
        options.startScene = value;
        return !value.empty();
    }
    if (name == "--set")
        return ToAssignment(value, options.setTriggers);
    if (name == "--max-states")
        return ToInt(value, options.maxStates) && options.maxStates > 0;
    if (name == "--seconds") {
        char* end = nullptr;
        options.exploreSeconds = std::strtod(value.c_str(), &end);
        return !value.empty() && *end == '\0' && std::isfinite(options.exploreSeconds) && options.exploreSeconds > 0.0;
    }
    if (name == "--json") {
        options.exploreJson = value;
        return !value.empty();
    }
    return false;
}

std::optional<EngineOptions> ParseExplore(const std::vector<std::string>& arguments, std::string& error)
{
    EngineOptions options;
    options.mode = EngineOptions::Mode::Explore;
    bool haveFolder = false;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("--", 0) != 0 && !haveFolder) {
            options.gameFolder = argument;
            haveFolder = true;
            continue;
        }
        if (argument.rfind("--", 0) != 0 || i + 1 == arguments.size() ||
            !ApplyExploreOption(options, argument, arguments[i + 1])) {
            error = "explore takes one game folder, --scene NAME, --set NAME=VALUE, --max-states N, --seconds S and "
                    "--json FILE; not '" +
                    argument + "'";
            return std::nullopt;
        }
        ++i;
    }
    if (!haveFolder) {
        error = "explore takes the game folder";
        return std::nullopt;
    }
    return options;
}

} // namespace

std::optional<EngineOptions> EngineOptions::Parse(const std::vector<std::string>& arguments, std::string& error)
{
    const std::string first = arguments.empty() ? std::string() : arguments[0];
    if (first == "check" || first == "compile" || first == "translate") {
        EngineOptions options;
        options.mode = first == "check" ? Mode::Check : first == "compile" ? Mode::Compile : Mode::Translate;
        std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
        if (first == "check" && std::erase(rest, std::string("--strict")) > 0)
            options.strict = true;
        if (first == "check" && std::erase(rest, std::string("--json")) > 0)
            options.checkFormat = CheckFormat::Json;
        if (rest.size() != 1) {
            error = first + " takes one game folder";
            return std::nullopt;
        }
        options.gameFolder = rest[0];
        return options;
    }
    if (first == "fontgen")
        return ParseFontGen(arguments, error);
    if (first == "new")
        return ParseNew(arguments, error);
    if (first == "explore" && arguments.size() > 1 && arguments[1] == "--merge")
        return ParseMerge(arguments, error);
    if (first == "explore")
        return ParseExplore(arguments, error);
    if (first == "pack") {
        if (arguments.size() < 3) {
            error = "pack takes an archive name and at least one path";
            return std::nullopt;
        }
        EngineOptions options;
        options.mode = Mode::Pack;
        options.packArchive = arguments[1];
        options.packPaths.assign(arguments.begin() + 2, arguments.end());
        return options;
    }
    return ParseRun(arguments, error);
}

const char* EngineOptions::Usage()
{
    return "usage:\n"
           "  velloria [GAME_DIR] [options]     run the game (default GAME_DIR: the current folder)\n"
           "    --headless              no window, no sound device; software rendering, sound rendered per frame\n"
           "    --desktop WxH           desktop size for full screen in headless mode (default 1920x1080)\n"
           "    --frames N              end the frame loop after frame N (normal shutdown)\n"
           "    --dt SECONDS            every frame lasts exactly SECONDS (headless default 1/60)\n"
           "    --input FILE            replay input\n"
           "    --snapshot N:FILE       after frame N has been drawn, write the screen to FILE (.png or .bmp)\n"
           "    --user-dir DIR          the per-user folder instead of <documents>/Velloria/\n"
           "    --trace FILE            write the trace\n"
           "    --audio-out FILE.wav    render the sound in step with the frames into FILE.wav instead of playing it\n"
           "    --lang CODE             show the game in the language of lang/CODE.po for this run (\"\": its own)\n"
           "    --scene NAME            start at the story scene NAME (turns on --dev)\n"
           "    --set NAME=VALUE        set the trigger NAME after the scripts were read (repeatable; a persistent\n"
           "                            trigger keeps its stored value in sys0.dfn)\n"
           "    --dev                   reload the scripts when they change on disk and by Shift+R\n"
           "    --coverage FILE         at the end, write the statements that ran and the scenes reached (JSON)\n"
           "  velloria check GAME_DIR [--strict] [--json]  compile and read the scripts; report script errors and\n"
           "                            warnings as FILE:LINE: error|warning: TEXT on stderr (--json: a JSON array\n"
           "                            of {file, line, severity, message} on stdout; --strict: warnings count as\n"
           "                            errors)\n"
           "  velloria new DIR [--title TEXT] [--size WxH]  write a starter game into the new or empty folder DIR\n"
           "                            (title: the folder's name; size: 800x600)\n"
           "  velloria explore --merge FILE... [--json OUT]  merge --coverage files: print the statements and scenes\n"
           "                            no run reached (--json: write the merged file to OUT)\n"
           "  velloria explore GAME_DIR [--scene NAME] [--set NAME=VALUE]... [--max-states N] [--seconds S]\n"
           "                   [--json FILE]  play every route headless; report the endings, the dead ends, what\n"
           "                            was never reached and the errors met (default: 10000 states, 60 seconds)\n"
           "  velloria compile GAME_DIR compile every *.vls of the folder into its *.cvls\n"
           "  velloria translate GAME_DIR  write GAME_DIR/lang/messages.pot, the template of the game's texts\n"
           "  velloria pack ARCHIVE PATH...  write a password-protected archive the engine mounts\n"
           "  velloria fontgen TTF SIZE OUT.fnt [--codepage CP]  make a bitmap font (OUT.fnt and OUT.png) of the\n"
           "                            code page's letters (default CP1252) from a TrueType font\n";
}

} // namespace Vel
