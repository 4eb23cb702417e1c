#include "scene/PlayModes.h"

#include "core/PlayerSettings.h"
#include "core/Trace.h"
#include "data/ReadMarks.h"
#include "platform/FrameActivity.h"
#include "scene/PlayerActions.h"
#include "scene/Scene.h"
#include "scene/ScenesManager.h"
#include "scene/TriggerManager.h"

#include <algorithm>

namespace Vel {

namespace {

// A fixed frame time adds up to the delay in float steps that may fall a hair short of it.
constexpr double kTimeSlack = 1e-6;

void Mirror(const char16_t* trigger, bool on)
{
    if (TriggerManager* triggers = TriggerManager::GetSingletonPtr())
        triggers->Set(trigger, on ? u"yes" : u"no");
}

} // namespace

PlayModes& PlayModes::Get()
{
    static PlayModes s_modes;
    return s_modes;
}

ModeAdvance PlayModes::Update(double dt, const Story& story)
{
    m_inputStopped = false;
    TakeKeys(story);
    ApplyStops(story);
    Publish();
    if (!story.inFront || story.choosing)
        return ModeAdvance::None;
    if (IsSkipping())
        return SkipAdvance(dt);
    if (m_auto)
        return AutoAdvance(dt, story);
    return ModeAdvance::None;
}

// Tab and A belong to the keyboard focus of a menu while one is open.
void PlayModes::TakeKeys(const Story& story)
{
    const PlayerActions& actions = PlayerActions::Get();
    if (story.inFront && actions.Pressed(PlayerAction::SkipToggle))
        ToggleSkip();
    if (story.inFront && actions.Pressed(PlayerAction::Auto))
        ToggleAuto();
    const bool held = actions.Held(PlayerAction::SkipHeld);
    if (held != m_held) {
        m_held = held;
        m_suspended = false;
    }
    if (actions.OtherThanSkipPressed() && IsSkipping()) {
        Stop(StopKind::Place);
        m_inputStopped = true;
    }
}

void PlayModes::ApplyStops(const Story& story)
{
    if (IsSkipping() && !story.inFront)
        Stop(StopKind::Cover);
    else if (IsSkipping() && story.choosing)
        Stop(StopKind::Place);
    if (!m_suspended)
        return;
    // A stop found inside a command (an unread text) learns its place at the first frame after it.
    if (!m_stopPlaced) {
        m_stopPlaced = true;
        m_stopScene = story.scene;
        m_stopPosition = story.position;
        return;
    }
    if (!Passed(story))
        return;
    // Past the stop the story may already show the next unread line: the held skip waits there in turn.
    if (HoldsUnread()) {
        m_stopKind = StopKind::Place;
        m_stopPlaced = false;
        return;
    }
    m_suspended = false;
}

bool PlayModes::HoldsUnread() const
{
    const PlayerSettings* settings = PlayerSettings::GetSingletonPtr();
    const bool throughUnread = settings != nullptr && settings->Get().skipUnread;
    return m_lineUnread && m_wait != Wait::None && !throughUnread;
}

void PlayModes::Stop(StopKind kind)
{
    m_toggled = false;
    if (!m_held)
        return;
    m_suspended = true;
    m_stopKind = kind;
    m_stopPlaced = false;
}

bool PlayModes::Passed(const Story& story) const
{
    if (!story.inFront || story.choosing)
        return false;
    return m_stopKind == StopKind::Cover || story.scene != m_stopScene || story.position != m_stopPosition;
}

ModeAdvance PlayModes::SkipAdvance(double dt)
{
    if (m_wait == Wait::None || m_wait == Wait::Pause)
        return ModeAdvance::None;
    m_hold += dt;
    // A line typed since before the skip began is shown whole first.
    if (m_wait == Wait::Typing)
        return ModeAdvance::Text;
    if (m_hold + kTimeSlack >= kSkipHold) {
        m_wait = Wait::None;
        return ModeAdvance::Text;
    }
    FrameActivity::WakeWithin(kSkipHold - m_hold);
    return ModeAdvance::None;
}

ModeAdvance PlayModes::AutoAdvance(double dt, const Story& story)
{
    if (m_wait == Wait::None || m_wait == Wait::Typing)
        return ModeAdvance::None;
    // The delay counts from the end of the voice.
    if (story.voicePlaying) {
        m_autoWaited = 0.0;
        return ModeAdvance::None;
    }
    const double delay = AutoDelay(m_wait == Wait::Pause ? 0 : m_letters);
    m_autoWaited += dt;
    if (m_autoWaited + kTimeSlack >= delay) {
        const ModeAdvance advance = m_wait == Wait::Pause ? ModeAdvance::Pause : ModeAdvance::Text;
        m_wait = Wait::None;
        return advance;
    }
    FrameActivity::WakeWithin(delay - m_autoWaited);
    return ModeAdvance::None;
}

double PlayModes::AutoDelay(std::int32_t letters)
{
    const PlayerSettings* settings = PlayerSettings::GetSingletonPtr();
    const std::int32_t speed = settings != nullptr ? settings->Get().autoSpeed : PlayerPreferences().autoSpeed;
    const double scale = static_cast<double>(PlayerSettings::kLargest - speed) / 5.0;
    return std::max(kAutoShortest, (kAutoBase + kAutoPerLetter * letters) * scale);
}

void PlayModes::ToggleSkip()
{
    // The click on a "skip" button has stopped the skip it was meant to switch off.
    if (m_inputStopped) {
        m_inputStopped = false;
        return;
    }
    m_toggled = !m_toggled;
    if (m_toggled)
        m_suspended = false;
    Publish();
}

void PlayModes::ToggleAuto()
{
    m_auto = !m_auto;
    // From the moment auto is switched on, when the line has been complete for longer.
    m_autoWaited = 0.0;
    Publish();
}

std::uint64_t PlayModes::BeginLine(const Scene& scene, std::u16string_view text)
{
    // The texts of interface scenes and menus are no lines of the story: they neither hold nor stop the skip.
    const ScenesManager* scenes = ScenesManager::GetSingletonPtr();
    if (scenes == nullptr || scenes->GetCurrentScene() != &scene)
        return 0;
    const std::uint64_t key = ReadMarks::KeyOf(scene.GetName(), scene.GetPosition(), text);
    const ReadMarks* marks = ReadMarks::GetSingletonPtr();
    BeginLine(marks != nullptr && marks->IsRead(key) ? LineState::Read : LineState::Unread, Letters(text));
    return key;
}

std::int32_t PlayModes::Letters(std::u16string_view text)
{
    // A surrogate pair is one character.
    return static_cast<std::int32_t>(std::count_if(
        text.begin(), text.end(), [](char16_t unit) { return unit != u'^' && (unit < 0xDC00 || unit > 0xDFFF); }));
}

void PlayModes::BeginLine(LineState state, std::int32_t letters)
{
    m_wait = Wait::Typing;
    m_letters = letters;
    m_hold = 0.0;
    m_autoWaited = 0.0;
    m_lineUnread = state == LineState::Unread;
    if (HoldsUnread() && IsSkipping()) {
        Stop(StopKind::Place);
        Publish();
    }
}

void PlayModes::LineComplete()
{
    if (m_wait == Wait::Typing)
        m_wait = Wait::Complete;
}

void PlayModes::BeginPause()
{
    m_wait = Wait::Pause;
    m_lineUnread = false;
    m_hold = 0.0;
    m_autoWaited = 0.0;
}

void PlayModes::Publish()
{
    const bool skipping = IsSkipping();
    if (skipping != m_publishedSkip) {
        m_publishedSkip = skipping;
        Trace::Write("skip", skipping ? "on" : "off");
        Mirror(u"_skip", skipping);
        FrameActivity::Changed();
    }
    if (m_auto != m_publishedAuto) {
        m_publishedAuto = m_auto;
        Trace::Write("auto", m_auto ? "on" : "off");
        Mirror(u"_auto", m_auto);
        FrameActivity::Changed();
    }
}

void PlayModes::Reset()
{
    *this = PlayModes();
    Mirror(u"_skip", false);
    Mirror(u"_auto", false);
}

} // namespace Vel
