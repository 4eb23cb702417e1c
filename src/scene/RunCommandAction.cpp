#include "scene/RunCommandAction.h"

#include "scene/Command.h"
#include "scene/CurrentScene.h"
#include "scene/StoryCoverage.h"

#include <utility>

namespace Vel {

RunCommandAction::RunCommandAction(std::unique_ptr<Command> command) : m_command(std::move(command)) {}

RunCommandAction::~RunCommandAction() = default;

void RunCommandAction::Perform()
{
    Scene* scene = CurrentScene::Get();
    if (!m_command || scene == nullptr)
        return;
    // A choice's entry or a button ran the statement that carries the action.
    if (StoryCoverage::IsEnabled())
        StoryCoverage::Ran(m_command->GetStatement());
    m_command->Execute(*scene);
}

} // namespace Vel
