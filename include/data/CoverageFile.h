#pragma once

// A story coverage file: which statements of each script ran and which scenes started, written by a run with
// --coverage and by the route explorer, read back to merge the files of several playtesters. A file that is not a
// coverage file of a version this engine knows is refused whole, with the reason.
//
//   {"version": 1,
//    "files": [{"file": "story.vls", "statements": [3, 5, 9], "ran": [3, 5]}],
//    "scenes": [{"name": "title", "reached": true}]}

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace Vel {

struct CoverageFile
{
    static constexpr int kVersion = 1;

    struct Script
    {
        std::string file; // as the game's scripts name it
        std::set<std::int32_t> statements;
        std::set<std::int32_t> ran;
    };
    struct Scene
    {
        std::string name;
        bool reached = false;
    };
    std::vector<Script> scripts; // in the order the game reads them
    std::vector<Scene> scenes;   // in the order they are defined

    // name only labels the error: "NAME: REASON".
    [[nodiscard]] static std::optional<CoverageFile> Read(const std::string& text, const std::string& name,
                                                          std::string& error);
    [[nodiscard]] std::string Json() const;
    // What either covers: statements and lines that ran are joined per script, a scene is reached when either
    // reached it; scripts and scenes new to this one follow its own.
    void Merge(const CoverageFile& other);
};

} // namespace Vel
