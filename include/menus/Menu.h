#pragma once

// An interface screen: a full-screen background picture, buttons whose highlighted look is a second full-screen
// picture that replaces the background while the mouse is over them, sliders, and three lists of script commands:
// init (run once, at "menu_on" or at the first showing), on (run whenever the menu opens) and off (run when it
// closes, before it goes). The keyboard moves a focus over the buttons in the order they were written (Up, Left
// back; Down, Right, Tab on; round at the ends), drawn as the button's highlighted picture, and Enter or Space
// presses the focused button; the mouse moving takes the focus away. Text buttons draw their own rectangle (a
// label over an optional picture) instead, take their place in the same focus order, and leave the background
// shown while they are lit. While the script is read, a menu block's commands
// collect in the menu's own scene. The menu manager owns the menus and runs the top one.

#include "core/Callback.h"
#include "scene/CommandContainer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Vel {

class Action;
class Command;
class Scene;
class SceneNode;
class Slider;
class TextButtonLook;

class Menu : public CommandContainer
{
public:
    explicit Menu(std::u16string name);
    virtual ~Menu();
    Menu(const Menu&) = delete;
    Menu& operator=(const Menu&) = delete;

    // Collects in the scene's list until "menu_on", "menu_off" or the first showing sorts the commands.
    void AddCommand(std::unique_ptr<Command> command) override;

    // The node "background": drawn full-screen from (0, 0), never hit by the mouse.
    void SetBackground(const std::u16string& picture);
    // The nodes "buttonN" (an invisible hot rectangle) and "buttonNswap" (the full-screen highlighted picture, which
    // carries the action); action may be null.
    void AddButton(const std::u16string& picture, float x, float y, float width, float height,
                   std::shared_ptr<Action> action);
    // The nodes NAME (showing the idle look) and NAMEhover (the hover look, which carries the action) at (x, y), as
    // large as the looks; without an action only NAME, a label. Returns false when a node of the name exists already.
    [[nodiscard]] bool AddTextButton(const std::u16string& name, std::unique_ptr<TextButtonLook> idle,
                                     std::unique_ptr<TextButtonLook> hover, float x, float y,
                                     std::shared_ptr<Action> action);
    void AddSlider(std::unique_ptr<Slider> slider);
    // "menu_on": the commands so far become the init list and run now.
    void CloseInit();
    // "menu_off": the commands since become the on list.
    void CloseOn();

    // Runs the on list (sorting the lists first if the script never did); closed runs when the menu closes.
    void Show(Callback<void()> closed);
    // Runs the off list, then asks the manager to close the top menu; without an off list it closes at once.
    void Hide();
    // The completion handler, taken: the manager runs it when it pops the menu.
    [[nodiscard]] Callback<void()> TakeClosedHandler();

    // The keyboard's focus, sliders, then the scene (which may take the mouse), then the background swap.
    void Update(float dt);
    // The scene's layers, the focused button's highlighted picture, then the sliders.
    void Render();

    [[nodiscard]] const std::u16string& GetName() const { return m_name; }
    [[nodiscard]] Scene& GetScene() const { return *m_scene; }
    [[nodiscard]] const std::vector<std::unique_ptr<Slider>>& GetSliders() const { return m_sliders; }
    // The buttons that carry an action, in written order: a text button's label (a picture button's node name) and
    // the action a press runs now.
    [[nodiscard]] std::vector<std::pair<std::u16string, std::shared_ptr<Action>>> GetButtonActions() const;
    // The button with the keyboard's focus, counted from 0 in written order; -1 for none.
    [[nodiscard]] int GetFocus() const { return m_focus; }

private:
    struct Button
    {
        SceneNode* hot = nullptr;       // the invisible rectangle
        SceneNode* swap = nullptr;      // the highlighted picture, with the action
        TextButtonLook* idle = nullptr; // a text button's looks, owned by m_looks; null for a picture button
        TextButtonLook* hover = nullptr;
    };

    // Whether the mouse or the focus lights a picture button, whose picture replaces the background.
    [[nodiscard]] bool PictureButtonLit(bool sceneTookMouse);
    // null for -1
    [[nodiscard]] Button* ButtonAt(int index);
    void FocusTextButton(int before);

    // Whether a button was pressed, which may have closed or replaced the menu.
    bool TakeFocusKeys();
    // Takes the commands collected in the scene into m_commands; returns them, in order, for the lists to borrow.
    std::vector<Command*> AdoptSceneCommands();
    void RunInit(const std::vector<Command*>& commands);
    void SortRemainingCommands();

    std::u16string m_name;
    std::unique_ptr<Scene> m_scene;
    // Every command of the menu, owned once; the three lists borrow from it and may share commands.
    std::vector<std::unique_ptr<Command>> m_commands;
    std::vector<Command*> m_init;
    std::vector<Command*> m_on;
    std::vector<Command*> m_off;
    SceneNode* m_background = nullptr;
    bool m_backgroundShown = true;
    std::int32_t m_buttonCount = 0;
    std::vector<Button> m_buttons; // in written order
    std::vector<std::unique_ptr<TextButtonLook>> m_looks;
    int m_focus = -1;
    // Whether the script sorted the block with "menu_on" / "menu_off": an empty list the script closed stays empty.
    bool m_initClosed = false;
    bool m_onClosed = false;
    std::vector<std::unique_ptr<Slider>> m_sliders;
    Callback<void()> m_closed;
};

} // namespace Vel
