#include "platform/InputState.h"

#include "platform/FrameActivity.h"

#include <algorithm>

namespace Vel {

namespace {

// A frame whose events nobody reads must not let the queue grow without end.
constexpr std::size_t kMaxQueuedEvents = 1024;

} // namespace

void InputState::BeginFrame()
{
    m_pressed.fill(false);
    m_events.clear();
}

void InputState::KeyDown(int key, int extraFlags, bool queueEvent, bool repeat)
{
    if (!IsValidKey(key))
        return;
    // A key or a button may change anything; what it changes is drawn even where nobody reports it.
    FrameActivity::Changed();
    if (!repeat) {
        if (!m_down[key])
            m_pressed[key] = true;
        m_down[key] = true;
    }
    if (!queueEvent)
        return;
    hgeInputEvent event;
    event.type = IsButton(key) ? INPUT_MBUTTONDOWN : INPUT_KEYDOWN;
    event.key = key;
    event.flags = extraFlags | Modifiers() | (repeat ? HGEINP_REPEAT : 0);
    Queue(event);
}

void InputState::KeyUp(int key)
{
    if (!IsValidKey(key) || !m_down[key])
        return;
    FrameActivity::Changed();
    m_down[key] = false;
    hgeInputEvent event;
    event.type = IsButton(key) ? INPUT_MBUTTONUP : INPUT_KEYUP;
    event.key = key;
    event.flags = Modifiers();
    Queue(event);
}

void InputState::ReleaseAll()
{
    for (int key = 1; key <= HGEK_LAST; ++key)
        KeyUp(key);
}

void InputState::MouseMove(float x, float y)
{
    m_mouseX = x;
    m_mouseY = y;
    m_mouseOver = true;
    hgeInputEvent event;
    event.type = INPUT_MOUSEMOVE;
    event.flags = Modifiers();
    Queue(event);
}

void InputState::MouseWheel(int steps)
{
    if (steps == 0)
        return;
    FrameActivity::Changed();
    hgeInputEvent event;
    event.type = INPUT_MOUSEWHEEL;
    event.wheel = steps;
    event.flags = Modifiers();
    Queue(event);
}

void InputState::Apply(const InputEvent& event)
{
    switch (event.kind) {
    case InputEvent::Kind::Move:
        MouseMove(event.x, event.y);
        break;
    case InputEvent::Kind::KeyDown:
        KeyDown(event.key, event.flags, event.keyDownEvent);
        break;
    case InputEvent::Kind::KeyUp:
        KeyUp(event.key);
        break;
    case InputEvent::Kind::Leave:
        m_mouseOver = false;
        break;
    case InputEvent::Kind::Enter:
        m_mouseOver = true;
        break;
    case InputEvent::Kind::Wheel:
        MouseWheel(event.wheel);
        break;
    case InputEvent::Kind::Close:
    case InputEvent::Kind::Drawn:
    case InputEvent::Kind::Resize:
    case InputEvent::Kind::Wait:
        break;
    }
}

int InputState::Modifiers() const
{
    return (m_down[HGEK_SHIFT] ? HGEINP_SHIFT : 0) | (m_down[HGEK_CTRL] ? HGEINP_CTRL : 0) |
           (m_down[HGEK_ALT] ? HGEINP_ALT : 0);
}

bool InputState::IsDown(int key) const
{
    return IsValidKey(key) && m_down[key];
}

bool InputState::AnyDown() const
{
    return std::find(m_down.begin(), m_down.end(), true) != m_down.end();
}

bool InputState::WentDown(int key) const
{
    return IsValidKey(key) && m_pressed[key];
}

bool InputState::PopEvent(hgeInputEvent& event)
{
    if (m_events.empty())
        return false;
    event = m_events.front();
    m_events.pop_front();
    return true;
}

void InputState::Queue(hgeInputEvent event)
{
    if (m_events.size() >= kMaxQueuedEvents)
        return;
    event.x = m_mouseX;
    event.y = m_mouseY;
    m_events.push_back(event);
}

} // namespace Vel
