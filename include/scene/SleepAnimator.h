#pragma once

#include "scene/Animator.h"

namespace Vel {

// Changes nothing: measures time. This is how delays and click-to-continue pauses wait. A zero duration finishes at
// the first update, a negative one never finishes by time; a skippable sleep finishes at the update after an
// accepted click.
class SleepAnimator : public Animator
{
public:
    enum class Skip
    {
        Never,
        OnClick
    };

    SleepAnimator(BaseObject& target, float duration, Skip skip);

    void OnClick(bool clicked) override;
    void Update(float dt) override;
    // Only its end matters: until then the engine may sleep too.
    [[nodiscard]] double NextFrameWithin() const override;

private:
    float m_duration;
    float m_elapsed = 0.0f;
    Skip m_skip;
};

} // namespace Vel
