#pragma once

// Skip and auto-forward, the two ways the story goes on without the player's clicks. Skip shows read texts whole and
// goes on after a short hold, ends pauses, delays, fades, moves and zooms at once, starts no voice and plays no
// effect; it stops at a choice, a menu or anything else over the story, an unread text (unless the player's
// preference lets it through) and any click or key but its own. Tab and the function "skip" toggle it; Ctrl skips
// while held and, after a stop, goes on once the story has passed it. Auto-forward goes on by itself once a text is
// complete and its voice has ended, after a delay that grows with the text's length; A and "auto" toggle it.
//
// The scenes manager calls Update once a frame before the story runs and delivers the advance it returns; the text,
// speech and pause commands say what the story waits on (BeginLine, BeginPause, EndLine) and the text boxes when a
// line shows whole; the animators, the voice and the effect commands ask IsSkipping. The changes are traced ("skip
// on|off", "auto on|off") and mirrored into the triggers "_skip" and "_auto". A process-wide record, as the player's
// actions are.

#include <cstdint>
#include <string_view>

namespace Vel {

class Scene;

// Whether the story's text was read in an earlier run or earlier in this one.
enum class LineState : std::uint8_t
{
    Unread,
    Read,
};

// What a mode's advance acts on in one frame.
enum class ModeAdvance : std::uint8_t
{
    None,
    Text,  // the text or speech shown, as an advancing key does
    Pause, // the pause the story waits in
};

class PlayModes
{
public:
    static constexpr double kSkipHold = 0.05;      // seconds a skipped text shows
    static constexpr double kAutoShortest = 0.2;   // seconds
    static constexpr double kAutoBase = 0.5;       // seconds for any text, at the default auto speed
    static constexpr double kAutoPerLetter = 0.03; // seconds a letter, at the default auto speed

    // The story as the scenes manager sees it at the start of a frame.
    struct Story
    {
        bool inFront = true;          // no menu, full-screen layer, error screen or hidden boxes over it
        bool choosing = false;        // a choice waits for the player
        const Scene* scene = nullptr; // where the story stands: the current scene and its position
        std::int32_t position = 0;
        bool voicePlaying = false;
    };

    static PlayModes& Get();

    // Takes the skip and auto keys and the other input, applies the stops and runs the timers; what the story's
    // own advance acts on in this frame. dt in seconds.
    [[nodiscard]] ModeAdvance Update(double dt, const Story& story);

    // Tab and "skip"; a skip the click on the button has just stopped stays off.
    void ToggleSkip();
    // A and "auto".
    void ToggleAuto();

    // A text or speech of the scene's current command starts showing. An unread one of the story stops the skip
    // unless the player lets skip go through unread text. Returns the statement's key for its text box
    // (Textbox::SetReadKey); 0 for a text of an interface scene or a menu, which is no line of the story.
    std::uint64_t BeginLine(const Scene& scene, std::u16string_view text);
    // The letters of a text as the auto delay counts them: characters, not "^" line breaks.
    [[nodiscard]] static std::int32_t Letters(std::u16string_view text);
    // The line shows whole: typed out, or at once.
    void LineComplete();
    // A pause without time starts waiting for the player.
    void BeginPause();
    // What the story waited on has ended.
    void EndLine() { m_wait = Wait::None; }

    [[nodiscard]] bool IsSkipping() const { return (m_toggled || m_held) && !m_suspended; }
    [[nodiscard]] bool IsAuto() const { return m_auto; }
    // The auto delay of a text of that many letters at the player's auto speed, in seconds.
    [[nodiscard]] static double AutoDelay(std::int32_t letters);

    // Both modes off and nothing waited on, as at start-up; the triggers say so.
    void Reset();

private:
    enum class Wait : std::uint8_t
    {
        None,
        Typing,   // a line still being typed
        Complete, // a line shown whole
        Pause,
    };
    enum class StopKind : std::uint8_t
    {
        Cover, // something over the story: passed when the story is in front again
        Place, // passed when the story has moved on from where it stood
    };

    void BeginLine(LineState state, std::int32_t letters);
    void TakeKeys(const Story& story);
    void ApplyStops(const Story& story);
    void Stop(StopKind kind);
    [[nodiscard]] bool Passed(const Story& story) const;
    // The story waits on an unread line that the skip may not go through.
    [[nodiscard]] bool HoldsUnread() const;
    [[nodiscard]] ModeAdvance SkipAdvance(double dt);
    [[nodiscard]] ModeAdvance AutoAdvance(double dt, const Story& story);
    // Traces and mirrors the modes when they changed.
    void Publish();

    bool m_toggled = false;
    bool m_held = false;
    bool m_suspended = false; // the held skip waits until the story passes its stop
    StopKind m_stopKind = StopKind::Cover;
    bool m_stopPlaced = false; // the stop's place has been taken from the story
    const Scene* m_stopScene = nullptr;
    std::int32_t m_stopPosition = 0;
    bool m_inputStopped = false; // a click or key stopped the skip in this frame
    bool m_auto = false;
    Wait m_wait = Wait::None;
    std::int32_t m_letters = 0;
    bool m_lineUnread = false;
    double m_hold = 0.0;       // game time since the line showed
    double m_autoWaited = 0.0; // game time the auto delay has run
    bool m_publishedSkip = false;
    bool m_publishedAuto = false;
};

} // namespace Vel
