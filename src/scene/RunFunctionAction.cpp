#include "scene/RunFunctionAction.h"

#include <utility>

namespace Vel {

RunFunctionAction::RunFunctionAction(Callback<void()> function) : m_function(std::move(function)) {}

void RunFunctionAction::Perform()
{
    m_function();
}

} // namespace Vel
