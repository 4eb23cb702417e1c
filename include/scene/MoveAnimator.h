#pragma once

#include "scene/Animator.h"

namespace Vel {

// Moves an object's top-left corner from one point to another in duration seconds; 0 jumps at the first update.
class MoveAnimator : public Animator
{
public:
    MoveAnimator(BaseObject& target, float fromX, float fromY, float toX, float toY, float duration);

    void Update(float dt) override;

private:
    float m_fromX;
    float m_fromY;
    float m_toX;
    float m_toY;
    float m_duration;
    float m_elapsed = 0.0f;
};

} // namespace Vel
