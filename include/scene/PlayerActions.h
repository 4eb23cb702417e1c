#pragma once

// The player's actions, read from the keyboard, the mouse buttons and the wheel in one place: one table maps each
// key or button to the action it asks for, so the rest of the engine asks for actions and never for raw keys. The
// engine polls it once at the start of each frame, before anything reads it; the scenes manager and the engine act
// on what it holds. Replayed input arrives through the same keys, so every end-to-end run goes through the table.
// A process-wide record, as the click gates are.

#include "platform/Hge.h"

#include <array>
#include <cstdint>

namespace Vel {

enum class PlayerAction : std::uint8_t
{
    Advance,    // on the story as a left click: text, speech, pause, click-to-continue
    Hide,       // the text boxes and choices go until the next click or key
    Menu,       // the right-click menu over the story; back from the menu on top
    FullScreen, // full screen on or off
    Screenshot,
    QuickSave,
    QuickLoad,
    // Keyboard focus of a choice's entries and a menu's buttons; Advance presses the focused one.
    FocusUp,
    FocusDown,
    FocusLeft,
    FocusRight,
    FocusNext, // Tab: menus only
    // The n-th entry of a choice; in order, as ChosenNumber counts on it.
    Choose1,
    Choose2,
    Choose3,
    Choose4,
    Choose5,
    Choose6,
    Choose7,
    Choose8,
    Choose9,
    History,  // the history screen opens (a notch of the wheel away from the player also asks for it)
    LineBack, // on the history screen: one entry back, one on
    LineOn,
    PageBack, // on the history screen: a screenful back, one on
    PageOn,
    SkipToggle, // skip mode on or off
    SkipHeld,   // skip mode while held
    Auto,       // auto-forward on or off
    Reload,     // Shift+R: an author's run reads the scripts again
    Count,
};

// Whether an advancing key or the wheel acts on the story in this frame (never on the button under the mouse).
enum class Advancing : std::uint8_t
{
    No,
    Yes,
    Now, // the play modes' own advance of a pause, which no click gate holds back
};

class PlayerActions
{
public:
    static PlayerActions& Get();

    // Once a frame, before anything asks: takes the frame's input events from the interface and reads the held keys.
    // The interface's event queue is read here only.
    void Poll(HGE& hge);
    // Forgets everything held, pressed and pending, as at start-up.
    void Reset();

    // The action's key or button went down in this frame (the held repeats of a key do not count).
    [[nodiscard]] bool Pressed(PlayerAction action) const;
    // One of the action's keys or buttons is held now.
    [[nodiscard]] bool Held(PlayerAction action) const;
    // The entry of a choice a digit asked for in this frame: 1..9; 0 for none.
    [[nodiscard]] int ChosenNumber() const;
    // The mouse moved in this frame: the keyboard focus gives way to it.
    [[nodiscard]] bool MouseMoved() const { return m_mouseMoved; }
    // Some key, button or wheel went down or turned in this frame, whatever it asks for.
    [[nodiscard]] bool AnyPressed() const { return m_anyPressed; }
    // Some key, button or wheel other than the skip keys went down or turned in this frame.
    [[nodiscard]] bool OtherThanSkipPressed() const { return m_otherPressed; }
    // An advancing key is held now, or a notch of the wheel turned towards the player waits to act: each notch acts
    // once, in order, through the left click gate.
    [[nodiscard]] bool WantsAdvance() const { return Held(PlayerAction::Advance) || m_notches > 0; }
    // The advance acted in this frame; a waiting notch is used up by it.
    void AdvanceTaken();
    // The wheel's notches in this frame, away from the player and towards the player, each counted once.
    [[nodiscard]] int WheelAway() const { return m_wheelAway; }
    [[nodiscard]] int WheelTowards() const { return m_wheelTowards; }
    // The notches waiting are dropped: what they were meant for went away (a menu opened, the boxes came back).
    void DropNotches() { m_notches = 0; }
    // This frame's presses are used up: the key that brought the hidden boxes back does nothing else.
    void SpendPresses() { m_pressed.fill(false); }

private:
    void Take(const hgeInputEvent& event);

    std::array<bool, static_cast<std::size_t>(PlayerAction::Count)> m_pressed{};
    std::array<bool, static_cast<std::size_t>(PlayerAction::Count)> m_held{};
    bool m_anyPressed = false;
    bool m_mouseMoved = false;
    bool m_otherPressed = false;
    bool m_notchTaken = false;
    int m_notches = 0;
    int m_wheelAway = 0;
    int m_wheelTowards = 0;
};

} // namespace Vel
