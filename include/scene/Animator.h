#pragma once

// Changes one property of an object over time. Commands create animators and hand them to the object they act on
// (AnimationObject::AddAnimator), which advances them every frame. An animator ends once ("finish"): it turns
// inactive, stays in its object's list, and calls its finish callback, which is how a waiting command learns that
// it is done. Interpolation is linear; the end test is exact float equality of elapsed time and duration.

#include "core/Callback.h"

#include <utility>

namespace Vel {

class BaseObject;

class Animator
{
public:
    // target must outlive the animator (it owns it).
    explicit Animator(BaseObject& target) : m_target(&target) {}
    virtual ~Animator() = default;
    Animator(const Animator&) = delete;
    Animator& operator=(const Animator&) = delete;

    // Receives each frame's accepted-click flag, wherever the mouse is.
    virtual void OnClick(bool /*clicked*/) {}
    // dt: seconds since the last frame.
    virtual void Update(float dt) = 0;
    [[nodiscard]] virtual bool IsActive() const { return m_active; }
    // How soon the animator needs its next frame, in seconds: at once for one that changes what is drawn.
    [[nodiscard]] virtual double NextFrameWithin() const { return 0.0; }

    // Called once, after the final value was written.
    void SetFinishCallback(Callback<void()> callback) { m_finish = std::move(callback); }

protected:
    // Inactive first, then the callback; the callback may destroy this animator.
    void Finish();

    BaseObject* m_target;

private:
    Callback<void()> m_finish;
    bool m_active = true;
};

} // namespace Vel
