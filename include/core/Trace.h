#pragma once

// The trace that automated runs ask for with --trace: one line per engine event, "FRAME KIND DETAILS", frame 0
// before the first frame. Every subsystem that has an event to report writes it here; nothing is written while
// no trace file is open.

#include <string>
#include <string_view>

namespace Vel {

class Trace
{
public:
    static bool Open(const std::string& fileName);
    static void Close();
    [[nodiscard]] static bool IsOpen();

    static void SetFrame(int frame);
    [[nodiscard]] static int Frame();

    static void Write(std::string_view kind, std::string_view details);
    static void Write(std::string_view kind, std::u16string_view details);
};

} // namespace Vel
