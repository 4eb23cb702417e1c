#include "resources/Animation.h"

#include "platform/FrameActivity.h"

#include <utility>

namespace Vel {

float Animation::GetWidth()
{
    return m_frames.empty() ? 0.0f : m_frames[m_current]->GetWidth();
}

float Animation::GetHeight()
{
    return m_frames.empty() ? 0.0f : m_frames[m_current]->GetHeight();
}

void Animation::Render(float x, float y, float zoom, float opacity)
{
    if (!m_frames.empty())
        m_frames[m_current]->Render(x, y, zoom, opacity);
}

void Animation::Update(float dt)
{
    Advance(dt);
    // The last frame finishes the animation as soon as it is current, not after its duration. An animation
    // without frames (a name the script never defined) has nothing to play: waiting for it would hold the scene
    // for ever, so it finishes at once.
    if (!IsFinished() && !m_cycle && (m_frames.empty() || m_current == m_last))
        Finish();
}

void Animation::Advance(float dt)
{
    if (m_frames.empty() || !(m_cycle || m_current < m_last))
        return;
    m_elapsed += dt;
    const float duration = m_frames[m_current]->GetDuration();
    if (duration <= m_elapsed) {
        m_elapsed -= duration;
        if (++m_current > m_last)
            m_current = 0;
        FrameActivity::Changed();
    }
    FrameActivity::WakeWithin(static_cast<double>(m_frames[m_current]->GetDuration() - m_elapsed));
}

void Animation::Unload()
{
    for (const std::unique_ptr<Frame>& frame : m_frames)
        frame->SetTexture(0);
}

void Animation::AddFrame(std::u16string file, float duration, float offsetX, float offsetY)
{
    m_frames.push_back(std::make_unique<Frame>(std::move(file), duration, offsetX, offsetY));
    ++m_last;
}

} // namespace Vel
