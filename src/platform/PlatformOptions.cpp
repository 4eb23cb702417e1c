#include "platform/PlatformOptions.h"

namespace Vel {

namespace {

PlatformOptions& Options()
{
    static PlatformOptions s_options;
    return s_options;
}

} // namespace

void SetPlatformOptions(const PlatformOptions& options)
{
    Options() = options;
}

const PlatformOptions& GetPlatformOptions()
{
    return Options();
}

} // namespace Vel
