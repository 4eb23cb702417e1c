#pragma once

// The first step of start-up: every "*.vls" source in a folder is compiled into its "*.cvls" twin, so that a game
// can be shipped with compiled scripts only.

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

// folder "." compiles the working folder; names in the result are relative to the folder, as the parser names them.
CompileResult CompileScripts(const std::string& folder = ".");

} // namespace Vel
