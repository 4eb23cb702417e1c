#include "commands/SetSelectionCommand.h"

#include "dialogue/DialogManager.h"
#include "dialogue/Selection.h"
#include "saves/SaveGames.h"
#include "scene/Action.h"
#include "scene/ClickGate.h"
#include "scene/ScenesManager.h"

#include <utility>

namespace Vel {

SetSelectionCommand::SetSelectionCommand() : m_selection(std::make_unique<Selection>()) {}

SetSelectionCommand::~SetSelectionCommand()
{
    // The DialogManager only borrows the selection; it must not reach it after the command is gone.
    DialogManager* dialogs = DialogManager::GetSingletonPtr();
    if (dialogs != nullptr && dialogs->GetSelection() == m_selection.get()) {
        dialogs->SetSelection(nullptr);
        dialogs->SetSelectionActive(false);
    }
}

void SetSelectionCommand::AddChoice(std::shared_ptr<Action> action, const std::u16string& text, Style* style, float x,
                                    float y, float width, float height)
{
    m_selection->AddChoice(std::move(action), text, style, x, y, width, height);
}

void SetSelectionCommand::Execute(Scene& scene)
{
    // Only the story's own choices: an interface scene or a menu is never the current scene.
    const ScenesManager* scenes = ScenesManager::GetSingletonPtr();
    SaveGames* saves = SaveGames::GetSingletonPtr();
    if (scenes != nullptr && saves != nullptr && scenes->GetCurrentScene() == &scene)
        saves->AutoSave();
    m_selection->ShowTexts();
    m_selection->SetFinishHandler(Guarded(&SetSelectionCommand::OnChoiceMade));
    if (DialogManager* dialogs = DialogManager::GetSingletonPtr())
        dialogs->SetSelection(m_selection.get());
}

std::u16string SetSelectionCommand::GetDescription() const
{
    return u"Selection";
}

void SetSelectionCommand::OnChoiceMade()
{
    // The choice's commands may have jumped to a scene that already shows its own choice, which stays.
    DialogManager* dialogs = DialogManager::GetSingletonPtr();
    if (dialogs != nullptr && dialogs->GetSelection() == m_selection.get())
        dialogs->SetSelectionActive(false);
    // The click that chose must not also advance the text that comes next.
    ClickGate::Left().Close();
    Complete();
}

} // namespace Vel
