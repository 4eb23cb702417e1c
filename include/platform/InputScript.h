#pragma once

// Replayed input for automated runs: a list of events, each applied at the start of its frame before the frame
// function runs. Read from a text file of lines "FRAME VERB ARGS"; see the README for the verbs.

#include <optional>
#include <string>
#include <vector>

namespace Vel {

struct InputEvent
{
    enum class Kind
    {
        Move,      // mouse to (x, y) window pixels
        KeyDown,   // key goes down; with keyDownEvent, a key-down event carrying flags is queued
        KeyUp,
        Leave,     // mouse leaves the window
        Enter,
        Close,     // window close request
        Drawn,     // no input: the trace tells how many frames were drawn before this one
        Wheel,     // the wheel turns by wheel notches, positive away from the user
        Resize,    // the player resizes the window to (x, y) pixels
        Wait,      // no input: the frame waits until the file at path exists (a test's step outside the engine)
    };
    int frame = 1;
    Kind kind = Kind::Move;
    int key = 0; // HGEK_*
    float x = 0, y = 0;
    bool keyDownEvent = true; // false for modifier keys of a chord: they go down without an event of their own
    int flags = 0;            // HGEINP_* carried by the key-down event
    int wheel = 0;
    std::string path; // Wait
};

class InputScript
{
public:
    // Parses the replay text; on failure returns nothing and error names the line and the fault.
    static std::optional<InputScript> Parse(const std::string& text, std::string& error);
    static std::optional<InputScript> Load(const std::string& fileName, std::string& error);

    // The HGEK_ code of a key name ("lbutton", "escape", "s", "f1", ...), or 0 for an unknown name.
    static int KeyFromName(const std::string& name);
    // The HGEK_PAD_ code of a game controller button by SDL's name ("a", "leftshoulder", "dpup", ...), or 0.
    static int PadButtonFromName(const std::string& name);

    // Events in frame order (stable for events of one frame).
    [[nodiscard]] const std::vector<InputEvent>& Events() const { return m_events; }

private:
    std::vector<InputEvent> m_events;
};

} // namespace Vel
