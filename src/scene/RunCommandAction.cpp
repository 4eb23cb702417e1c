#include "scene/RunCommandAction.h"

#include "scene/Command.h"
#include "scene/CurrentScene.h"

#include <utility>

namespace Vel {

RunCommandAction::RunCommandAction(std::unique_ptr<Command> command) : m_command(std::move(command)) {}

RunCommandAction::~RunCommandAction() = default;

void RunCommandAction::Perform()
{
    Scene* scene = CurrentScene::Get();
    if (m_command && scene != nullptr)
        m_command->Execute(*scene);
}

} // namespace Vel
