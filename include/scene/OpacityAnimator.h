#pragma once

#include "scene/Animator.h"

namespace Vel {

// Fades an object's opacity from one value to another in duration seconds; 0 sets it at the first update.
class OpacityAnimator : public Animator
{
public:
    OpacityAnimator(BaseObject& target, float from, float to, float duration);

    void Update(float dt) override;

private:
    float m_from;
    float m_to;
    float m_duration;
    float m_elapsed = 0.0f;
};

} // namespace Vel
