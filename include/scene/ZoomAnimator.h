#pragma once

#include "scene/Animator.h"

namespace Vel {

// Scales an object by a factor relative to the zoom it has at the first update. With keep centre the object grows
// or shrinks about its centre (its natural size decides where that is) instead of its top-left corner.
class ZoomAnimator : public Animator
{
public:
    enum class Anchor
    {
        TopLeft,
        Centre
    };

    // Commands start at from = 1 and end at to = the factor. A zero duration sets the zoom to `to` itself, not
    // relative to the captured zoom, and leaves the position alone.
    ZoomAnimator(BaseObject& target, float from, float to, float duration, Anchor anchor);

    void Update(float dt) override;

private:
    void CaptureBase();

    float m_from;
    float m_to;
    float m_duration;
    float m_elapsed = 0.0f;
    Anchor m_anchor;
    float m_baseZoom = -1.0f; // negative until the first update captures the object's state
    float m_baseX = 0.0f;
    float m_baseY = 0.0f;
};

} // namespace Vel
