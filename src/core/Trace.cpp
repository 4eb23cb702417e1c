#include "core/Trace.h"

#include "core/TextCodec.h"

#include <fstream>

namespace Vel {

namespace {

struct TraceState
{
    std::ofstream file;
    int frame = 0;
};

TraceState& State()
{
    static TraceState s_state;
    return s_state;
}

} // namespace

bool Trace::Open(const std::string& fileName)
{
    TraceState& state = State();
    state.file.close();
    state.file.clear();
    state.file.open(fileName, std::ios::out | std::ios::trunc);
    state.frame = 0;
    return state.file.is_open();
}

void Trace::Close()
{
    State().file.close();
}

bool Trace::IsOpen()
{
    return State().file.is_open();
}

void Trace::SetFrame(int frame)
{
    State().frame = frame;
}

int Trace::Frame()
{
    return State().frame;
}

void Trace::Write(std::string_view kind, std::string_view details)
{
    TraceState& state = State();
    if (!state.file.is_open())
        return;
    state.file << state.frame << ' ' << kind;
    if (!details.empty())
        state.file << ' ' << details;
    // Flushed per line: a test reads the trace of a run that may end by a crash it is meant to catch.
    state.file << std::endl;
}

void Trace::Write(std::string_view kind, std::u16string_view details)
{
    if (IsOpen())
        Write(kind, std::string_view(TextCodec::WideToUtf8(details)));
}

} // namespace Vel
