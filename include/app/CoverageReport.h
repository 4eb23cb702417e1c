#pragma once

// The story coverage of a run as a file an author keeps or a playtester sends back: per script, the lines of the
// statements that make the story's commands and those of them that ran; per scene, whether it started.
//
//   {"version": 1,
//    "files": [{"file": "story.vls", "statements": [3, 5, 9], "ran": [3, 5]}],
//    "scenes": [{"name": "title", "reached": true}]}

#include <cstdint>
#include <set>
#include <string>
#include <vector>

namespace Vel {

class CoverageReport
{
public:
    static constexpr int kVersion = 1;

    struct FileLines
    {
        std::u16string file;
        std::set<std::int32_t> statements; // the lines of the statements that make commands
        std::set<std::int32_t> ran;        // those of them that ran
    };

    // Per script, in the order the files were read, from what StatementSource and StoryCoverage hold.
    [[nodiscard]] static std::vector<FileLines> Files();

    // The JSON of what StatementSource and StoryCoverage hold; scenes in the order they were defined.
    [[nodiscard]] static std::string Json(const std::vector<std::u16string>& scenes);
    // Written whole or not at all (a temporary file renamed over the old one); false with the reason in error.
    [[nodiscard]] static bool Write(const std::string& fileName, const std::vector<std::u16string>& scenes,
                                    std::string& error);
};

} // namespace Vel
