#pragma once

// The first step of start-up: every "*.vls" source in a folder is compiled into its "*.cvls" twin, so that a game
// can be shipped with compiled scripts only. A run compiles only the sources whose twin is missing, damaged or made
// from other text, as the folder's CompileStamp tells; the author tools compile every source.

#include <map>
#include <string>
#include <vector>

namespace Vel {

struct CompileResult
{
    int compiled = 0;                  // sources whose twin was written
    std::vector<std::string> warnings; // "FILE:LINE: invalid UTF-8 replaced by U+FFFD", and unwritable twins
    // Compiled name -> source name, for sources whose twin could not be written (a read-only game folder):
    // the parser reads these from their source text instead.
    std::map<std::u16string, std::u16string> readFromSource;
};

enum class CompileMode
{
    Changed, // only sources that changed since their twin was written, or whose twin is not the one written
    Checked, // as Changed, and the sources left alone are still read for their warnings (an author's check)
    Every,   // every source, whatever its twin
};

// folder "." compiles the working folder; names in the result are relative to the folder, as the parser names them.
// A folder whose sources and twins are as recorded is left without a file written. Warnings about a source come
// only when it is compiled, or read for them (Checked).
CompileResult CompileScripts(const std::string& folder = ".", CompileMode mode = CompileMode::Changed);

} // namespace Vel
