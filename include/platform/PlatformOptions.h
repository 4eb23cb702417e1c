#pragma once

// How the platform runs the game: what the engine's command line asks of the window, the clock and the input.
// Set once with SetPlatformOptions before hgeCreate; the 2D library reads it when it starts.

#include "platform/InputScript.h"

#include <string>
#include <vector>

namespace Vel {

struct SnapshotRequest
{
    int frame = 0;        // written after this frame has been drawn
    std::string fileName; // .png or .bmp, by its extension
};

struct PlatformOptions
{
    bool headless = false;   // no window, no sound device (sound is rendered in step with the frames), software drawing
    int desktopWidth = 1920; // desktop size a headless full screen covers
    int desktopHeight = 1080;
    double fixedDelta = 0.0;  // seconds every frame lasts; 0 takes the real clock (headless forces 1/60 then)
    int maxFrames = 0;        // end the frame loop after this frame; 0 runs until the game ends
    InputScript input;        // replayed input
    std::string audioOutFile; // a WAV file that receives the rendered sound; the sound is then rendered, not played
    std::vector<SnapshotRequest> snapshots;
};

void SetPlatformOptions(const PlatformOptions& options);
const PlatformOptions& GetPlatformOptions();

} // namespace Vel
