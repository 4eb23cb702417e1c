#include "platform/FrameClock.h"

#include <thread>

namespace Vel {

void FrameClock::Reset()
{
    m_started = false;
    m_delta = m_fixedDelta > 0 ? static_cast<float>(m_fixedDelta) : kFirstFrame;
}

void FrameClock::Tick()
{
    Clock::time_point now = Clock::now();
    if (m_fixedDelta > 0)
        m_delta = static_cast<float>(m_fixedDelta);
    else if (m_started)
        m_delta = std::chrono::duration<float>(now - m_lastTick).count();
    else
        m_delta = kFirstFrame;
    m_lastTick = now;
    m_started = true;
}

void FrameClock::WaitUntil(double minSeconds) const
{
    if (!m_started || minSeconds <= 0)
        return;
    auto end = m_lastTick + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(minSeconds));
    std::this_thread::sleep_until(end);
}

} // namespace Vel
