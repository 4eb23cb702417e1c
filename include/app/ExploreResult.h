#pragma once

// What the route explorer found, as plain records for the report. A route is the list of entry texts and button
// labels chosen from the start, in order.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace Vel {

using Route = std::vector<std::u16string>;

// Where the story stood: the current scene and the statement of its command there (empty file: none).
struct StoryPlace
{
    std::u16string scene;
    std::u16string file;
    std::int32_t line = 0;
};

struct RouteEnding
{
    enum class Kind
    {
        End,      // the story ran the function "end"
        MainMenu, // the main menu opened again
    };
    Kind kind = Kind::End;
    StoryPlace place;
    Route route;
    std::vector<std::pair<std::u16string, std::u16string>> persistent; // persistent triggers the route changed
};

// A dead end, a loop, or a wait on a clickable node: a place and the route that reached it.
struct RouteStop
{
    StoryPlace place;
    Route route;
    std::string reason; // what happens there; empty for a wait on a node
};

// A script error shown, or a line the engine logged about a picture, sound or font it could not use.
struct RouteProblem
{
    std::string message;
    Route route;
};

struct ExploreResult
{
    std::vector<RouteEnding> endings;
    std::vector<RouteStop> deadEnds;
    std::vector<RouteStop> loops;      // a choice or menu reached again, unchanged, on the route that left it
    std::vector<RouteStop> nodeWaits;  // the story waits for a click on a scene node, which explore does not follow
    std::vector<RouteProblem> errors;  // script errors
    std::vector<RouteProblem> missing; // pictures, sounds and fonts that could not be used
    std::size_t states = 0;            // distinct states at choices and menus
    std::size_t merged = 0;            // branches that reached a state another branch explored
    std::string cut;                   // the limit that stopped the search ("--max-states N", "--seconds S"); empty
};

} // namespace Vel
