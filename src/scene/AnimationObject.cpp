#include "scene/AnimationObject.h"

#include "platform/FrameActivity.h"
#include "scene/PlayModes.h"

#include <iterator>
#include <utility>

namespace Vel {

namespace {

// Longer than any animation a script writes, and small enough to add to a float without overflow.
constexpr float kSkippedTime = 1.0e9f;

} // namespace

AnimationObject::~AnimationObject() = default;

bool AnimationObject::TestMouse(float x, float y, bool clicked)
{
    for (std::size_t i = 0; i < m_animators.size(); ++i) {
        if (m_animators[i]->IsActive())
            m_animators[i]->OnClick(clicked);
    }
    return InputObject::TestMouse(x, y, clicked);
}

void AnimationObject::Advance()
{
    for (std::size_t i = 0; i < m_animators.size(); ++i) {
        if (m_animators[i]->IsActive())
            m_animators[i]->OnClick(true);
    }
}

void AnimationObject::Update(float dt)
{
    ++m_updating;
    // Skipping, every fade, move, zoom, delay and pause ends in this update.
    const bool skipping = PlayModes::Get().IsSkipping();
    if (skipping)
        dt = kSkippedTime;
    const std::size_t count = m_animators.size();
    const unsigned generation = m_generation;
    // Indexes, not iterators: a finish callback may add animators or clear the list (then the rest is skipped).
    for (std::size_t i = 0; i < count && generation == m_generation; ++i) {
        if (!m_animators[i]->IsActive())
            continue;
        if (skipping)
            m_animators[i]->OnClick(true);
        m_animators[i]->Update(dt);
        // The list may have been cleared by a finish callback: then nothing of it needs another frame.
        if (generation == m_generation && m_animators[i]->IsActive())
            FrameActivity::WakeWithin(m_animators[i]->NextFrameWithin());
    }
    if (--m_updating == 0)
        m_cleared.clear();
}

void AnimationObject::AddAnimator(std::unique_ptr<Animator> animator)
{
    if (animator)
        m_animators.push_back(std::move(animator));
}

void AnimationObject::ClearAnimators()
{
    if (m_updating > 0)
        std::move(m_animators.begin(), m_animators.end(), std::back_inserter(m_cleared));
    m_animators.clear();
    ++m_generation;
}

Animator* AnimationObject::GetAnimator(std::size_t index) const
{
    return index < m_animators.size() ? m_animators[index].get() : nullptr;
}

} // namespace Vel
