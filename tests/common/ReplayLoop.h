#pragma once

// Shared by the tests of mouse-driven parts: replayed input as the platform options of a headless run, and the
// 2D library's frame loop running one step of the test each frame.

#include "ProcessRecordGuard.h"
#include "TempFolder.h"
#include "core/DisplaySettings.h"
#include "platform/Hge.h"
#include "platform/InputScript.h"
#include "platform/PlatformOptions.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace Vel::TestTools {

// The replay (in the input script's format) for a run that ends after frames frames.
inline PlatformOptions ReplayOptions(const std::string& replay, int frames)
{
    std::string error;
    std::optional<InputScript> script = InputScript::Parse(replay, error);
    EXPECT_TRUE(script.has_value()) << error;
    PlatformOptions options;
    options.input = script.value_or(InputScript{});
    options.maxFrames = frames;
    return options;
}

// Runs the frame loop of the initiated interface, calling step once per frame until the replay's last frame.
inline void RunFrames(HGE* hge, std::function<void()> step)
{
    static std::function<void()> s_step;
    s_step = std::move(step);
    hge->System_SetState(
        HGE_FRAMEFUNC, +[]() -> bool {
            s_step();
            return false;
        });
    EXPECT_TRUE(hge->System_Start());
    s_step = nullptr;
}

// A test of mouse input, run in a folder of its own on the display settings it is given; the process records are
// put back afterwards.
class InputTest : public ::testing::Test
{
protected:
    explicit InputTest(DisplaySettings display = DisplaySettings{640, 480, 0, 640, 480, false})
    {
        TheDisplaySettings() = display;
        m_folder.Enter();
    }

    ProcessRecordGuard m_records;
    TempFolder m_folder;
};

} // namespace Vel::TestTools
