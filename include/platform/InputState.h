#pragma once

// What the 2D library knows about the keyboard and the mouse during one frame: keys held, keys that went down in
// this frame, the queue of input events and the mouse position. Fed by the window's events and by replayed input
// at the start of each frame; read by the engine through the HGE input operations.

#include "platform/Hge.h"
#include "platform/InputScript.h"

#include <array>
#include <deque>

namespace Vel {

class InputState
{
public:
    // Forgets the keys pressed and the events of the previous frame. Called before the frame's input arrives.
    void BeginFrame();

    // key is an HGEK_ code. With queueEvent a key-down (or button-down) event is queued, carrying extraFlags and the
    // modifiers held; a repeat queues the event only and does not count as a new press.
    void KeyDown(int key, int extraFlags, bool queueEvent, bool repeat = false);
    void KeyUp(int key);
    // Releases every key and button, as when the window loses the keyboard.
    void ReleaseAll();

    // Position in pixels of the screen picture; a move also means the mouse is over the window.
    void MouseMove(float x, float y);
    void MouseWheel(int steps);
    void SetMouseOver(bool over) { m_mouseOver = over; }

    // A replayed event; Close is not input and is left to the caller.
    void Apply(const InputEvent& event);

    // HGEINP_SHIFT, HGEINP_CTRL and HGEINP_ALT for the modifier keys held now.
    [[nodiscard]] int Modifiers() const;
    [[nodiscard]] bool IsDown(int key) const;
    // Some key or mouse button is held (a drag, a held key the engine acts on every frame).
    [[nodiscard]] bool AnyDown() const;
    [[nodiscard]] bool WentDown(int key) const;
    [[nodiscard]] bool MouseOver() const { return m_mouseOver; }
    [[nodiscard]] float MouseX() const { return m_mouseX; }
    [[nodiscard]] float MouseY() const { return m_mouseY; }

    // Takes the oldest queued event; false when the queue is empty.
    bool PopEvent(hgeInputEvent& event);

private:
    static bool IsValidKey(int key) { return key > 0 && key <= HGEK_LAST; }
    static bool IsButton(int key) { return key == HGEK_LBUTTON || key == HGEK_RBUTTON || key == HGEK_MBUTTON; }
    void Queue(hgeInputEvent event);

    std::array<bool, HGEK_LAST + 1> m_down{};
    std::array<bool, HGEK_LAST + 1> m_pressed{};
    std::deque<hgeInputEvent> m_events;
    float m_mouseX = 0;
    float m_mouseY = 0;
    bool m_mouseOver = false;
};

} // namespace Vel
