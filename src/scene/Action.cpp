#include "scene/Action.h"

namespace Vel {

void Action::Run()
{
    // A copy: what the action does may replace the callback, or end the object that holds the action.
    const Callback<void()> afterRun = m_afterRun;
    Perform();
    afterRun();
}

} // namespace Vel
