#pragma once

// The engine's command line: how a player, an author's tool or a test asks for a run.

#include "app/CheckReport.h"
#include "app/StarterGame.h"
#include "platform/PlatformOptions.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace Vel {

struct EngineOptions
{
    enum class Mode
    {
        Run,     // play the game
        Check,   // compile and read the scripts, report errors, no window
        Compile, // compile the scripts and stop
        Pack,    // write a protected archive
        FontGen, // make a bitmap font from a TrueType font
        Translate, // write the translation template lang/messages.pot
        New,       // write a starter game into a new folder
        Merge,     // merge story coverage files and tell what no run reached
        Explore,   // play every route headless and report where each ends
        Help,
    };
    Mode mode = Mode::Run;
    std::string gameFolder = ".";
    std::string userFolder; // empty: <documents>/Velloria/
    std::string traceFile;  // empty: no trace
    std::string inputFile;  // empty: no replayed input
    std::string coverageFile; // empty: no story coverage written
    PlatformOptions platform;
    std::optional<std::string> language; // --lang: the language of this run, instead of the player's
    std::string startScene; // empty: the one system.vls names
    // Trigger values set after the scripts and "sys0.dfn" were read; a persistent one is not written back.
    std::vector<std::pair<std::string, std::string>> setTriggers;
    bool dev = false; // scripts reloaded when they change and by Shift+R; on with a start scene
    std::string packArchive;
    std::vector<std::string> packPaths;
    bool strict = false; // check: warnings count as errors
    CheckFormat checkFormat = CheckFormat::Text;
    std::string fontFile;            // fontgen: the TrueType font
    int fontSize = 0;                // fontgen: pixel size
    std::string fontOut;             // fontgen: the ".fnt" to write (its picture beside it, ".png")
    std::string codePage = "CP1252"; // fontgen: the letters of this single-byte code page
    StarterOptions starter;          // new: the folder, title and screen size
    std::vector<std::string> coverageFiles; // explore --merge: the files to merge
    int maxStates = 10000;           // explore: distinct states at choices and menus before the search stops
    double exploreSeconds = 60.0;    // explore: wall time before the search stops
    std::string exploreJson;         // explore: the report (--merge: the merged coverage) as JSON; empty: none

    // Parses argv[1..]; on failure returns nothing and error says what is wrong.
    static std::optional<EngineOptions> Parse(const std::vector<std::string>& arguments, std::string& error);
    static const char* Usage();
};

} // namespace Vel
