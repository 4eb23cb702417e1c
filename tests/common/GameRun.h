#pragma once

// Shared by the end-to-end tests: a private copy of a test game (a run compiles its scripts in place), a headless
// run of the engine on it, and the colours of the snapshots it writes.

#include "TempFolder.h"

#include <sys/wait.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace Vel::TestTools {

// tests/games/<name> copied into the root; returns the copy's folder.
inline std::filesystem::path CopyGame(const TempFolder& root, const std::string& name)
{
    const std::filesystem::path game = root.Path() / name;
    std::filesystem::copy(std::filesystem::path(VEL_TEST_GAMES) / name, game, std::filesystem::copy_options::recursive);
    return game;
}

// The bundled demo (games/demo) copied into the root without what earlier runs left in it; returns the copy's folder.
inline std::filesystem::path CopyDemo(const TempFolder& root)
{
    const std::filesystem::path game = root.Path() / "demo";
    std::filesystem::copy(VEL_DEMO_GAME, game, std::filesystem::copy_options::recursive);
    std::vector<std::filesystem::path> leftovers;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(game))
        if (entry.path().extension() == ".cvls" || entry.path().filename() == "engine.log")
            leftovers.push_back(entry.path());
    for (const std::filesystem::path& leftover : leftovers)
        std::filesystem::remove(leftover);
    return game;
}

// A headless run with the user folder root/user; returns the exit status. stderr goes to root/err.txt.
inline int RunGame(const TempFolder& root, const std::filesystem::path& game, const std::string& options)
{
    const std::string command = std::string("'") + VEL_ENGINE + "' '" + game.string() + "' --headless --user-dir '" +
                                root.File("user") + "' " + options + " 2>'" + root.File("err.txt") + "' >/dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The colour (0xRRGGBB) of a pixel of the engine's 24-bit bottom-up BMP snapshot.
inline std::uint32_t BmpPixel(const std::string& bmp, int x, int y)
{
    const auto byte = [&](std::size_t at) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(bmp.at(at)));
    };
    const auto number = [&](std::size_t at) {
        return static_cast<std::int32_t>(byte(at) | byte(at + 1) << 8 | byte(at + 2) << 16 | byte(at + 3) << 24);
    };
    const std::int32_t width = number(18), height = number(22);
    const std::size_t row = height > 0 ? static_cast<std::size_t>(height - 1 - y) : static_cast<std::size_t>(y);
    const std::size_t at = static_cast<std::size_t>(number(10)) + row * ((width * 3 + 3) / 4 * 4) + x * 3;
    return byte(at + 2) << 16 | byte(at + 1) << 8 | byte(at);
}

} // namespace Vel::TestTools
