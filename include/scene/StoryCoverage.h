#pragma once

// What a run of the story reached: the statements that ran and the scenes that started, kept only when asked for
// (--coverage, and the route explorer), so an ordinary run pays one test per command.

#include <cstdint>
#include <set>
#include <string>
#include <utility>

namespace Vel {

class StoryCoverage
{
public:
    // Before the scripts are read: only then do their statements keep their places.
    static void Enable();
    [[nodiscard]] static bool IsEnabled();

    // A command of the statement (StatementSource) started; kNone is no statement.
    static void Ran(std::uint32_t statement);
    static void Reached(const std::u16string& scene);

    // (file, line) of each statement that ran; files as the author names them.
    [[nodiscard]] static const std::set<std::pair<std::u16string, std::int32_t>>& RanStatements();
    [[nodiscard]] static const std::set<std::u16string>& ReachedScenes();
    // How many commands and scene starts there were while enabled: the story moving at all.
    [[nodiscard]] static std::uint64_t CommandsStarted();
    [[nodiscard]] static std::uint64_t ScenesStarted();
};

} // namespace Vel
