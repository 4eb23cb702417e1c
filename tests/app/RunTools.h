#pragma once

// Shared by the end-to-end runs: the engine program run with any arguments, the options that replay input, trace
// and take snapshots, and readers of what a run leaves behind (the trace's order, the rendered sound's level, the
// stored music volume).

#include "AudioTools.h"
#include "GameRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>

namespace Vel::TestTools {

// The shell command's exit status, or -1 when it did not exit.
inline int Status(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The engine program with the arguments (quoted where needed); stderr goes to root/err.txt.
inline int Engine(const TempFolder& root, const std::string& arguments)
{
    return Status(std::string("'") + VEL_ENGINE + "' " + arguments + " 2>'" + root.File("err.txt") + "' >/dev/null");
}

inline std::string Snapshot(const TempFolder& root, int frame, const std::string& name)
{
    return " --snapshot '" + std::to_string(frame) + ":" + root.File(name) + "'";
}

// The options that replay the input (kept in root/input.txt) and trace the run into root/trace.txt.
inline std::string Replay(const TempFolder& root, const std::string& input)
{
    root.Write("input.txt", input);
    return " --input '" + root.File("input.txt") + "' --trace '" + root.File("trace.txt") + "'";
}

// Replay lines: the mouse rests on (x, y) from the frame on, as a menu button needs, and clicks there a few frames
// later.
inline std::string Press(int frame, int x, int y, int after = 2)
{
    const std::string at = std::to_string(x) + " " + std::to_string(y) + "\n";
    return std::to_string(frame) + " move " + at + std::to_string(frame + after) + " click " + at;
}

// The lines must appear in this order.
inline void ExpectInOrder(const std::string& trace, std::initializer_list<std::string> lines)
{
    std::size_t at = 0;
    for (const std::string& line : lines) {
        const std::size_t found = trace.find(line, at);
        ASSERT_NE(found, std::string::npos) << line << " after offset " << at << " in\n" << trace;
        at = found + line.size();
    }
}

// The level of a run's rendered sound over [from, from + length) seconds.
inline double LevelAt(const LevelMeter& meter, double from, double length = 0.1)
{
    constexpr double kRate = 44100.0;
    return meter.Level(static_cast<std::size_t>(from * kRate), static_cast<std::size_t>(length * kRate));
}

// The music volume the run stored for the player (the first field of sys1.dfn), or -1.
inline float StoredMusicVolume(const TempFolder& root)
{
    const std::string settings = root.Read("user/sys1.dfn");
    float volume = -1.0F;
    if (settings.size() >= sizeof volume)
        std::memcpy(&volume, settings.data(), sizeof volume);
    return volume;
}

// Appends the text to the game's script; returns the number of the first appended line.
inline int AppendToScript(const std::filesystem::path& game, const std::string& text)
{
    std::ifstream script(game / "script.vls");
    const auto lines = std::count(std::istreambuf_iterator<char>(script), std::istreambuf_iterator<char>(), '\n');
    std::ofstream(game / "script.vls", std::ios::app) << text;
    return static_cast<int>(lines) + 1;
}

} // namespace Vel::TestTools
