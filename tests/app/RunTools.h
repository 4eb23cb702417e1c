#pragma once

// Shared by the end-to-end runs: the engine program run with any arguments, the options that replay input, trace
// and take snapshots, and readers of what a run leaves behind against data files beside the games (the trace's
// entries, snapshot pixels, the rendered sound's levels).

#include "AudioTools.h"
#include "GameRun.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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

// The options that replay the input file and trace the run into root/trace.txt.
inline std::string Replay(const TempFolder& root, const std::filesystem::path& input)
{
    return " --input '" + input.string() + "' --trace '" + root.File("trace.txt") + "'";
}

// Runs the game for the frames with its tools/NAME.replay, traced; the run must end normally.
inline void RunReplay(const TempFolder& root, const std::filesystem::path& game, int frames, const std::string& name)
{
    ASSERT_EQ(
        RunGame(root, game, "--frames " + std::to_string(frames) + Replay(root, game / "tools" / (name + ".replay"))),
        0)
        << root.Read("err.txt");
}

// The lines of a data file without blank lines and '#' comments, "{root}" standing for the root folder.
inline std::vector<std::string> DataLines(const std::filesystem::path& file, const std::string& root = {})
{
    std::ifstream in(file);
    EXPECT_TRUE(in) << file;
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        for (std::size_t at = line.find("{root}"); at != std::string::npos; at = line.find("{root}"))
            line.replace(at, 6, root);
        if (!line.empty() && line[0] != '#')
            lines.push_back(line);
    }
    return lines;
}

// Checks root/trace.txt against the expected entries, one a line, each found after the one before: "60 scene b" is
// a whole trace line, "scene b" what follows a line's frame number (or any blank in it); "!text" is in no line.
inline void ExpectTrace(const TempFolder& root, const std::filesystem::path& expected)
{
    const std::string trace = root.Read("trace.txt");
    std::size_t at = 0;
    for (const std::string& entry : DataLines(expected, root.Path().string())) {
        if (entry[0] == '!') {
            EXPECT_EQ(trace.find(entry.substr(1)), std::string::npos) << entry << " in\n" << trace;
            continue;
        }
        std::size_t found = trace.find(entry + '\n', at);
        while (found != std::string::npos && found > 0 && trace[found - 1] != '\n' && trace[found - 1] != ' ')
            found = trace.find(entry + '\n', found + 1);
        ASSERT_NE(found, std::string::npos) << entry << " after offset " << at << " in\n" << trace;
        at = found + entry.size() + 1;
    }
}

// Checks snapshot pixels against a table, one a line: "file x y colour note". The colour RRGGBB is exact; "~RRGGBB"
// may be off by a few steps in each channel, as generated pictures blend at their edges; "!RRGGBB" is any other.
inline void ExpectPixels(const TempFolder& root, const std::filesystem::path& table)
{
    for (const std::string& line : DataLines(table, root.Path().string())) {
        std::istringstream fields(line);
        std::string file, colour;
        int x = 0, y = 0;
        fields >> file >> x >> y >> colour;
        const std::uint32_t actual = BmpPixel(root.Read(file), x, y);
        const auto expected =
            static_cast<std::uint32_t>(std::stoul(colour.substr(colour[0] == '~' || colour[0] == '!'), nullptr, 16));
        bool near = true;
        for (int shift = 0; shift <= 16; shift += 8)
            near = near &&
                   std::abs(static_cast<int>(actual >> shift & 0xFF) - static_cast<int>(expected >> shift & 0xFF)) <= 6;
        EXPECT_TRUE(colour[0] == '~' ? near : (actual == expected) == (colour[0] != '!'))
            << line << ": " << std::hex << actual;
    }
}

// A row of a game's expected/runs.txt, "NAME FRAMES [FRAME...]": the replay's name goes to name, and the options
// returned run the game for its frames with a snapshot of each frame listed, as root/NAME-FRAME.bmp.
inline std::string RunRowOptions(const TempFolder& root, const std::string& row, std::string& name)
{
    std::istringstream fields(row);
    int frames = 0;
    fields >> name >> frames;
    std::string options = "--frames " + std::to_string(frames);
    for (int frame = 0; fields >> frame;)
        options += Snapshot(root, frame, name + "-" + std::to_string(frame) + ".bmp");
    return options;
}

// Checks the run against the folder's NAME.trace and, where there is one, its NAME.pixels.
inline void ExpectRun(const TempFolder& root, const std::filesystem::path& expected, const std::string& name)
{
    ExpectTrace(root, expected / (name + ".trace"));
    if (std::filesystem::exists(expected / (name + ".pixels")))
        ExpectPixels(root, expected / (name + ".pixels"));
}

// How often the part occurs in the text.
inline int Occurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// The level of a run's rendered sound over [from, from + length) seconds.
inline double LevelAt(const LevelMeter& meter, double from, double length = 0.1)
{
    constexpr double kRate = 44100.0;
    return meter.Level(static_cast<std::size_t>(from * kRate), static_cast<std::size_t>(length * kRate));
}

// Checks the rendered sound against a table, one a line: "seconds level tolerance note", the level over 0.1 s.
inline void ExpectLevels(const LevelMeter& meter, const std::filesystem::path& table)
{
    for (const std::string& line : DataLines(table)) {
        std::istringstream fields(line);
        double at = 0.0, level = 0.0, tolerance = 0.0;
        fields >> at >> level >> tolerance;
        EXPECT_NEAR(LevelAt(meter, at), level, tolerance) << line;
    }
}

} // namespace Vel::TestTools
