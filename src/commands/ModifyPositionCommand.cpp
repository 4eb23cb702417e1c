#include "commands/ModifyPositionCommand.h"

#include "dialogue/DialogManager.h"
#include "dialogue/Textbox.h"
#include "scene/MoveAnimator.h"
#include "scene/Scene.h"
#include "scene/SceneNode.h"

#include <memory>

namespace Vel {

void ModifyPositionCommand::Execute(Scene& scene)
{
    const auto makeMove = [this](AnimationObject& target) -> std::unique_ptr<Animator> {
        return std::make_unique<MoveAnimator>(target, m_from.x, m_from.y, m_to.x, m_to.y, m_duration);
    };
    DialogManager* dialogue = DialogManager::GetSingletonPtr();
    if (scene.FindNode(m_node) != nullptr || dialogue == nullptr) {
        AnimateNode(scene, m_node, makeMove);
        return;
    }
    // A name that is no node moves the text box of that name, made hidden and empty if there is none yet, so a
    // script can slide a text box in before its first text.
    AnimateObject(*dialogue->GetTextbox(m_node), makeMove);
}

} // namespace Vel
