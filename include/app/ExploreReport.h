#pragma once

// What velloria explore prints and writes: the endings with their routes, the dead ends, the loops, the waits on
// clickable nodes, the errors and missing files met, the scenes never reached and the statements never run (from
// StoryCoverage, which the exploration kept), and whether a limit cut the search. The JSON holds the same, with the
// story coverage in CoverageReport's shape under "coverage".

#include "app/ExploreResult.h"

#include <string>
#include <vector>

namespace Vel {

class ExploreReport
{
public:
    // scenes: the story scenes in the order the scripts define them. Borrowed for the report's life.
    ExploreReport(const ExploreResult& result, const std::vector<std::u16string>& scenes);

    [[nodiscard]] std::string Text() const;
    [[nodiscard]] std::string Json() const;
    // No dead end, script error or missing file was met.
    [[nodiscard]] bool IsClean() const;

private:
    [[nodiscard]] std::vector<std::u16string> UnreachedScenes() const;
    void AppendRoutesText(std::string& out) const;
    void AppendCoverageText(std::string& out) const;
    void AppendJsonEndings(std::string& out) const;

    const ExploreResult& m_result;
    const std::vector<std::u16string>& m_scenes;
};

} // namespace Vel
