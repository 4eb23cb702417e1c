#pragma once

// Owns every text box of the game by name and runs the dialogue layer each frame: updates, mouse input and
// drawing of all text boxes (in name order) and of the active selection's choices. Start-up creates the one instance
// with the other managers and hands it to the scenes manager as its dialogue layer; the script's text box
// statement, the text command, dialogs and galleries fetch boxes by name; the selection command makes its
// selection active; "skiptext" finishes and advances every visible text at once.

#include "core/VelSingleton.h"
#include "scene/DialogueLayer.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Vel {

class Selection;
class Textbox;

class DialogManager : public Singleton<DialogManager>, public DialogueLayer
{
public:
    DialogManager();
    ~DialogManager() override;

    // Get-or-create: never null; a new box is hidden and empty. Valid until the manager is destroyed.
    [[nodiscard]] Textbox* GetTextbox(const std::u16string& name);
    [[nodiscard]] Textbox* FindTextbox(const std::u16string& name) const;

    void Update(float dt) override;
    // The left click (through the click gate) and the mouse in game coordinates go to the active selection's
    // choices, which dim but the one under the mouse or the keyboard's focus and always take the event, then to the
    // text boxes in name order until one takes the click. An advance goes to the text boxes only, unless an entry
    // has the keyboard's focus: then it chooses that entry. A digit chooses its entry.
    [[nodiscard]] bool HandleInput(Advancing advancing = Advancing::No, MouseReach reach = MouseReach::Open) override;
    void Render() override;
    // Every box hidden; the selection inactive.
    void HideAll() override;
    void SetHidden(bool hidden) override;
    [[nodiscard]] bool IsHidden() const override { return m_hidden; }
    [[nodiscard]] bool IsChoosing() const override { return m_selectionActive && m_selection != nullptr; }
    // "skiptext": every visible box completes its text and runs its completion handler.
    void CompleteAll();

    // The selection belongs to its command; it stays borrowed here until the next one.
    void SetSelection(Selection* selection);
    void SetSelectionActive(bool active);
    [[nodiscard]] bool IsSelectionActive() const { return m_selectionActive; }
    [[nodiscard]] Selection* GetSelection() const { return m_selection; }
    // The entry the keyboard's focus is on; -1 for none.
    [[nodiscard]] int GetChoiceFocus() const { return m_choiceFocus; }
    // The active selection's entries that can be chosen (a question without a rectangle cannot), by index.
    [[nodiscard]] std::vector<std::size_t> ChoosableEntries() const;
    // As a click on the entry of the active selection: its action runs, and through it the selection learns it was
    // chosen. The index must be one of ChoosableEntries.
    void Choose(std::size_t entry);

    [[nodiscard]] const std::map<std::u16string, std::unique_ptr<Textbox>>& GetTextboxes() const { return m_boxes; }

private:
    // Up and Down move the focus over the entries that can be chosen, round past the ends; a digit (counting only
    // those) or Advance on the focus chooses. Whether an entry was chosen.
    bool TakeChoiceKeys(Advancing advancing);

    std::map<std::u16string, std::unique_ptr<Textbox>> m_boxes;
    Selection* m_selection = nullptr;
    bool m_selectionActive = false;
    int m_choiceFocus = -1;
    bool m_hidden = false;
};

} // namespace Vel
