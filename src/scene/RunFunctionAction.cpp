#include "scene/RunFunctionAction.h"

#include <utility>

namespace Vel {

RunFunctionAction::RunFunctionAction(Callback<void()> function, std::u16string name)
    : m_function(std::move(function)), m_name(std::move(name))
{
}

void RunFunctionAction::Perform()
{
    m_function();
}

} // namespace Vel
