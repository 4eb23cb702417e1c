#include "scene/Animator.h"

namespace Vel {

void Animator::Finish()
{
    m_active = false;
    // A copy: the callback can run a command that clears the animators of the object owning this one.
    const Callback<void()> finish = m_finish;
    finish();
}

} // namespace Vel
