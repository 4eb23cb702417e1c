#include "scene/PlayerActions.h"

#include <algorithm>

namespace Vel {

namespace {

struct Binding
{
    int key;
    PlayerAction action;
};

// Enter with Alt held switches the screen instead of advancing.
constexpr Binding kBindings[] = {
    {HGEK_SPACE, PlayerAction::Advance},        {HGEK_ENTER, PlayerAction::Advance},
    {HGEK_KPENTER, PlayerAction::Advance},      {HGEK_PGDN, PlayerAction::Advance},
    {HGEK_A + ('h' - 'a'), PlayerAction::Hide}, {HGEK_MBUTTON, PlayerAction::Hide},
    {HGEK_ESCAPE, PlayerAction::Menu},          {HGEK_RBUTTON, PlayerAction::Menu},
    {HGEK_F1 + 10, PlayerAction::FullScreen},   {HGEK_F1 + 4, PlayerAction::QuickSave},
    {HGEK_F1 + 8, PlayerAction::QuickLoad},     {HGEK_UP, PlayerAction::FocusUp},
    {HGEK_DOWN, PlayerAction::FocusDown},       {HGEK_LEFT, PlayerAction::FocusLeft},
    {HGEK_RIGHT, PlayerAction::FocusRight},     {HGEK_TAB, PlayerAction::FocusNext},
    {HGEK_0 + 1, PlayerAction::Choose1},        {HGEK_0 + 2, PlayerAction::Choose2},
    {HGEK_0 + 3, PlayerAction::Choose3},        {HGEK_0 + 4, PlayerAction::Choose4},
    {HGEK_0 + 5, PlayerAction::Choose5},        {HGEK_0 + 6, PlayerAction::Choose6},
    {HGEK_0 + 7, PlayerAction::Choose7},        {HGEK_0 + 8, PlayerAction::Choose8},
    {HGEK_0 + 9, PlayerAction::Choose9},        {HGEK_PGUP, PlayerAction::History},
    {HGEK_UP, PlayerAction::LineBack},          {HGEK_DOWN, PlayerAction::LineOn},
    {HGEK_PGUP, PlayerAction::PageBack},        {HGEK_PGDN, PlayerAction::PageOn},
    {HGEK_TAB, PlayerAction::SkipToggle},       {HGEK_CTRL, PlayerAction::SkipHeld},
    {HGEK_A, PlayerAction::Auto},
    // The game controller: the face buttons as the keys above, the D-pad as the arrows.
    {HGEK_PAD_A, PlayerAction::Advance},        {HGEK_PAD_X, PlayerAction::Hide},
    {HGEK_PAD_B, PlayerAction::Menu},           {HGEK_PAD_START, PlayerAction::Menu},
    {HGEK_PAD_Y, PlayerAction::Auto},           {HGEK_PAD_RIGHTSHOULDER, PlayerAction::SkipHeld},
    {HGEK_PAD_DPUP, PlayerAction::FocusUp},     {HGEK_PAD_DPDOWN, PlayerAction::FocusDown},
    {HGEK_PAD_DPLEFT, PlayerAction::FocusLeft}, {HGEK_PAD_DPRIGHT, PlayerAction::FocusRight},
    {HGEK_PAD_DPUP, PlayerAction::LineBack},    {HGEK_PAD_DPDOWN, PlayerAction::LineOn},
    {HGEK_PAD_LEFTSHOULDER, PlayerAction::History},
};

// A turn of a fast wheel gives a handful of notches; more waiting than this would run the story on for seconds
// after the hand stopped.
constexpr int kMaxWaitingNotches = 5;

std::size_t Index(PlayerAction action)
{
    return static_cast<std::size_t>(action);
}

} // namespace

PlayerActions& PlayerActions::Get()
{
    static PlayerActions s_actions;
    return s_actions;
}

void PlayerActions::Poll(HGE& hge)
{
    if (m_notchTaken && m_notches > 0)
        --m_notches;
    m_notchTaken = false;
    m_pressed.fill(false);
    m_anyPressed = false;
    m_mouseMoved = false;
    m_wheelAway = 0;
    m_wheelTowards = 0;
    m_otherPressed = false;
    for (hgeInputEvent event; hge.Input_GetEvent(&event);)
        Take(event);
    const bool alt = hge.Input_GetKeyState(HGEK_ALT);
    m_held.fill(false);
    for (const Binding& binding : kBindings) {
        if (hge.Input_GetKeyState(binding.key) && !(alt && binding.key == HGEK_ENTER))
            m_held[Index(binding.action)] = true;
    }
}

void PlayerActions::Take(const hgeInputEvent& event)
{
    if (event.type == INPUT_MOUSEMOVE) {
        m_mouseMoved = true;
        return;
    }
    if (event.type == INPUT_MOUSEWHEEL) {
        m_anyPressed = true;
        m_otherPressed = true;
        if (event.wheel < 0) {
            m_wheelTowards -= event.wheel;
            m_notches = std::min(m_notches - event.wheel, kMaxWaitingNotches);
        } else if (event.wheel > 0) {
            m_wheelAway += event.wheel;
            m_pressed[Index(PlayerAction::History)] = true;
        }
        return;
    }
    const bool down = event.type == INPUT_KEYDOWN || event.type == INPUT_MBUTTONDOWN;
    if (!down || (event.flags & HGEINP_REPEAT) != 0)
        return;
    m_anyPressed = true;
    m_otherPressed = m_otherPressed ||
                     (event.key != HGEK_TAB && event.key != HGEK_CTRL && event.key != HGEK_PAD_RIGHTSHOULDER);
    const bool alt = (event.flags & HGEINP_ALT) != 0;
    if (alt && event.key == HGEK_ENTER) {
        m_pressed[Index(PlayerAction::FullScreen)] = true;
        return;
    }
    if (alt && event.key == HGEK_S) {
        m_pressed[Index(PlayerAction::Screenshot)] = true;
        return;
    }
    if ((event.flags & HGEINP_SHIFT) != 0 && event.key == HGEK_A + ('r' - 'a')) {
        m_pressed[Index(PlayerAction::Reload)] = true;
        return;
    }
    for (const Binding& binding : kBindings) {
        if (binding.key == event.key)
            m_pressed[Index(binding.action)] = true;
    }
}

void PlayerActions::Reset()
{
    *this = PlayerActions();
}

bool PlayerActions::Pressed(PlayerAction action) const
{
    return m_pressed[Index(action)];
}

bool PlayerActions::Held(PlayerAction action) const
{
    return m_held[Index(action)];
}

int PlayerActions::ChosenNumber() const
{
    for (int number = 1; number <= 9; ++number) {
        if (Pressed(static_cast<PlayerAction>(static_cast<int>(PlayerAction::Choose1) + number - 1)))
            return number;
    }
    return 0;
}

void PlayerActions::AdvanceTaken()
{
    m_notchTaken = !Held(PlayerAction::Advance) && m_notches > 0;
}

} // namespace Vel
