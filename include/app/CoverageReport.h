#pragma once

// The story coverage of a run as a file an author keeps or a playtester sends back (data/CoverageFile): per script,
// the lines of the statements that make the story's commands and those of them that ran; per scene, whether it
// started.

#include "data/CoverageFile.h"

#include <string>
#include <string_view>
#include <vector>

namespace Vel {

class CoverageReport
{
public:
    // What StatementSource and StoryCoverage hold: per script in the order the scripts were read, the statements
    // that make commands and those of them that ran; scenes in the order they were defined.
    [[nodiscard]] static CoverageFile Coverage(const std::vector<std::u16string>& scenes);
    // "velloria explore --merge": reads every file (all or none: a damaged one is named on stderr and nothing is
    // merged), prints what no run reached to stdout and writes the merged file to jsonFile when one is named.
    // The exit status: 0, or 1 when a file could not be read or written.
    [[nodiscard]] static int Merge(const std::vector<std::string>& files, const std::string& jsonFile);
    // Written whole or not at all (a temporary file renamed over the old one); false with the reason in error.
    [[nodiscard]] static bool Write(const std::string& fileName, const std::vector<std::u16string>& scenes,
                                    std::string& error);
};

} // namespace Vel
