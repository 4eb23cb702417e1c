#include "platform/FrameActivity.h"

#include <algorithm>

namespace Vel {

namespace {

FrameActivity::Report s_report;

} // namespace

void FrameActivity::Changed()
{
    s_report.changed = true;
}

void FrameActivity::WakeWithin(double seconds)
{
    s_report.wake = std::min(s_report.wake, std::max(seconds, 0.0));
}

FrameActivity::Report FrameActivity::Take()
{
    const Report report = s_report;
    s_report = Report{};
    return report;
}

} // namespace Vel
