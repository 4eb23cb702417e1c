#include "platform/InputScript.h"

#include "platform/Hge.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

namespace Vel {

namespace {

struct KeyName
{
    const char* name;
    int key;
};

constexpr KeyName kKeyNames[] = {
    {"lbutton", HGEK_LBUTTON}, {"rbutton", HGEK_RBUTTON}, {"mbutton", HGEK_MBUTTON},
    {"escape", HGEK_ESCAPE},   {"left", HGEK_LEFT},       {"right", HGEK_RIGHT},
    {"up", HGEK_UP},           {"down", HGEK_DOWN},       {"alt", HGEK_ALT},
    {"shift", HGEK_SHIFT},     {"ctrl", HGEK_CTRL},       {"space", HGEK_SPACE},
    {"enter", HGEK_ENTER},     {"tab", HGEK_TAB},         {"backspace", HGEK_BACKSPACE},
    {"home", HGEK_HOME},       {"end", HGEK_END},         {"pgup", HGEK_PGUP},
    {"pgdn", HGEK_PGDN},       {"insert", HGEK_INSERT},   {"delete", HGEK_DELETE},
    {"pause", HGEK_PAUSE},     {"kpenter", HGEK_KPENTER},
};

// SDL's names of the game controller buttons the engine acts on.
constexpr KeyName kPadButtonNames[] = {
    {"a", HGEK_PAD_A},
    {"b", HGEK_PAD_B},
    {"x", HGEK_PAD_X},
    {"y", HGEK_PAD_Y},
    {"back", HGEK_PAD_BACK},
    {"start", HGEK_PAD_START},
    {"leftshoulder", HGEK_PAD_LEFTSHOULDER},
    {"rightshoulder", HGEK_PAD_RIGHTSHOULDER},
    {"dpup", HGEK_PAD_DPUP},
    {"dpdown", HGEK_PAD_DPDOWN},
    {"dpleft", HGEK_PAD_DPLEFT},
    {"dpright", HGEK_PAD_DPRIGHT},
};

// Far beyond any window a desktop holds, and small enough for the screen picture's checks to refuse cleanly.
constexpr int kMaxWindowSide = 16384;

// More than a hand turns in a frame; the bound keeps a replay's count from overflowing a frame's sum.
constexpr int kMaxNotches = 1000;

// Frames stay far below INT_MAX so that "up at FRAME + 1" never overflows.
constexpr int kMaxFrame = 1000000000;

std::vector<std::string> SplitWords(const std::string& line)
{
    std::istringstream stream(line);
    std::vector<std::string> words;
    for (std::string word; stream >> word;)
        words.push_back(word);
    return words;
}

bool ParseInt(const std::string& text, int& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

bool ParseCoordinate(const std::string& text, float& value)
{
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value > -1e7f && value < 1e7f;
}

int ModifierFlag(int key)
{
    switch (key) {
    case HGEK_ALT:
        return HGEINP_ALT;
    case HGEK_SHIFT:
        return HGEINP_SHIFT;
    case HGEK_CTRL:
        return HGEINP_CTRL;
    default:
        return 0;
    }
}

// Turns the words of one line into events; returns the fault, empty on success.
class LineReader
{
public:
    LineReader(int frame, std::vector<InputEvent>& out) : m_frame(frame), m_out(out) {}

    std::string Read(const std::string& verb, const std::vector<std::string>& args)
    {
        if (verb == "move" || verb == "click")
            return ReadPointer(verb, args);
        if (verb == "down" || verb == "up")
            return ReadKey(verb, args);
        if (verb == "key")
            return ReadChord(args);
        if (verb == "wheel")
            return ReadWheel(args);
        if (verb == "pad")
            return ReadPad(args);
        if (verb == "resize")
            return ReadResize(args);
        if (verb == "wait") {
            if (args.size() != 1)
                return "'wait' needs one file";
            InputEvent event = Make(InputEvent::Kind::Wait, m_frame);
            event.path = args[0];
            m_out.push_back(std::move(event));
            return {};
        }
        if (verb == "leave" || verb == "enter" || verb == "close" || verb == "drawn")
            return ReadPlain(verb, args);
        return "unknown verb '" + verb + "'";
    }

private:
    InputEvent Make(InputEvent::Kind kind, int frame) const
    {
        InputEvent event;
        event.frame = frame;
        event.kind = kind;
        return event;
    }

    std::string ReadPointer(const std::string& verb, const std::vector<std::string>& args)
    {
        if (args.size() != 2)
            return "'" + verb + "' needs X and Y";
        InputEvent move = Make(InputEvent::Kind::Move, m_frame);
        if (!ParseCoordinate(args[0], move.x) || !ParseCoordinate(args[1], move.y))
            return "bad position '" + args[0] + " " + args[1] + "'";
        m_out.push_back(move);
        if (verb == "click") {
            InputEvent down = Make(InputEvent::Kind::KeyDown, m_frame);
            down.key = HGEK_LBUTTON;
            m_out.push_back(down);
            InputEvent up = Make(InputEvent::Kind::KeyUp, m_frame + 1);
            up.key = HGEK_LBUTTON;
            m_out.push_back(up);
        }
        return {};
    }

    std::string ReadKey(const std::string& verb, const std::vector<std::string>& args)
    {
        if (args.size() != 1)
            return "'" + verb + "' needs one key";
        InputEvent event = Make(verb == "down" ? InputEvent::Kind::KeyDown : InputEvent::Kind::KeyUp, m_frame);
        event.key = InputScript::KeyFromName(args[0]);
        if (event.key == 0)
            return "unknown key '" + args[0] + "'";
        m_out.push_back(event);
        return {};
    }

    std::string ReadChord(const std::vector<std::string>& args)
    {
        if (args.size() != 1)
            return "'key' needs keys joined by '+'";
        std::vector<int> keys;
        int flags = 0;
        std::string rest = args[0] + "+";
        for (std::size_t plus; (plus = rest.find('+')) != std::string::npos; rest.erase(0, plus + 1)) {
            std::string name = rest.substr(0, plus);
            int key = InputScript::KeyFromName(name);
            if (key == 0)
                return "unknown key '" + name + "'";
            keys.push_back(key);
            flags |= ModifierFlag(key);
        }
        for (std::size_t i = 0; i < keys.size(); ++i) {
            InputEvent down = Make(InputEvent::Kind::KeyDown, m_frame);
            down.key = keys[i];
            down.keyDownEvent = i + 1 == keys.size();
            down.flags = down.keyDownEvent ? flags : 0;
            m_out.push_back(down);
        }
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            InputEvent up = Make(InputEvent::Kind::KeyUp, m_frame + 1);
            up.key = *key;
            m_out.push_back(up);
        }
        return {};
    }

    std::string ReadWheel(const std::vector<std::string>& args)
    {
        if (args.empty() || args.size() > 2 || (args[0] != "up" && args[0] != "down"))
            return "'wheel' needs up or down and a number of notches";
        int notches = 1;
        if (args.size() == 2 && (!ParseInt(args[1], notches) || notches < 1 || notches > kMaxNotches))
            return "bad number of notches '" + args[1] + "'";
        InputEvent wheel = Make(InputEvent::Kind::Wheel, m_frame);
        wheel.wheel = args[0] == "up" ? notches : -notches;
        m_out.push_back(wheel);
        return {};
    }

    // Down at the frame, up after the frames it is held (one by default).
    std::string ReadPad(const std::vector<std::string>& args)
    {
        if (args.empty() || args.size() > 2)
            return "'pad' needs a button and, to hold it, a number of frames";
        InputEvent down = Make(InputEvent::Kind::KeyDown, m_frame);
        down.key = InputScript::PadButtonFromName(args[0]);
        if (down.key == 0)
            return "unknown controller button '" + args[0] + "'";
        int held = 1;
        if (args.size() == 2 && (!ParseInt(args[1], held) || held < 1 || held > kMaxFrame - m_frame))
            return "bad number of frames '" + args[1] + "'";
        m_out.push_back(down);
        InputEvent up = Make(InputEvent::Kind::KeyUp, m_frame + held);
        up.key = down.key;
        m_out.push_back(up);
        return {};
    }

    std::string ReadResize(const std::vector<std::string>& args)
    {
        InputEvent resize = Make(InputEvent::Kind::Resize, m_frame);
        int width = 0;
        int height = 0;
        if (args.size() != 2 || !ParseInt(args[0], width) || !ParseInt(args[1], height) || width < 1 ||
            height < 1 || width > kMaxWindowSide || height > kMaxWindowSide)
            return "'resize' needs a width and a height of 1 to " + std::to_string(kMaxWindowSide) + " pixels";
        resize.x = static_cast<float>(width);
        resize.y = static_cast<float>(height);
        m_out.push_back(resize);
        return {};
    }

    std::string ReadPlain(const std::string& verb, const std::vector<std::string>& args)
    {
        if (!args.empty())
            return "'" + verb + "' takes no arguments";
        InputEvent::Kind kind = verb == "leave"   ? InputEvent::Kind::Leave
                                : verb == "enter" ? InputEvent::Kind::Enter
                                : verb == "drawn" ? InputEvent::Kind::Drawn
                                                  : InputEvent::Kind::Close;
        m_out.push_back(Make(kind, m_frame));
        return {};
    }

    int m_frame;
    std::vector<InputEvent>& m_out;
};

std::string ReadLine(const std::string& line, std::vector<InputEvent>& out)
{
    std::vector<std::string> words = SplitWords(line);
    // Blanks the caller does not skip (a vertical tab, a form feed) still make an empty line.
    if (words.empty())
        return {};
    int frame = 0;
    if (!ParseInt(words[0], frame) || frame < 1 || frame > kMaxFrame)
        return "bad frame number '" + words[0] + "' (frames count from 1)";
    if (words.size() < 2)
        return "missing verb";
    std::vector<std::string> args(words.begin() + 2, words.end());
    return LineReader(frame, out).Read(words[1], args);
}

} // namespace

std::optional<InputScript> InputScript::Parse(const std::string& text, std::string& error)
{
    InputScript script;
    std::istringstream stream(text);
    int lineNumber = 0;
    for (std::string line; std::getline(stream, line);) {
        ++lineNumber;
        std::size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#')
            continue;
        std::string fault = ReadLine(line, script.m_events);
        if (!fault.empty()) {
            error = "line " + std::to_string(lineNumber) + ": " + fault;
            return std::nullopt;
        }
    }
    std::stable_sort(script.m_events.begin(), script.m_events.end(),
                     [](const InputEvent& a, const InputEvent& b) { return a.frame < b.frame; });
    return script;
}

std::optional<InputScript> InputScript::Load(const std::string& fileName, std::string& error)
{
    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        error = "cannot read the input file '" + fileName + "'";
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    std::optional<InputScript> script = Parse(text.str(), error);
    if (!script)
        error = fileName + ": " + error;
    return script;
}

int InputScript::KeyFromName(const std::string& name)
{
    for (const KeyName& entry : kKeyNames) {
        if (name == entry.name)
            return entry.key;
    }
    if (name.size() == 1 && name[0] >= 'a' && name[0] <= 'z')
        return HGEK_A + (name[0] - 'a');
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9')
        return HGEK_0 + (name[0] - '0');
    int number = 0;
    if (name.size() >= 2 && name[0] == 'f' && ParseInt(name.substr(1), number) && number >= 1 && number <= 12 &&
        name[1] != '0')
        return HGEK_F1 + number - 1;
    return 0;
}

int InputScript::PadButtonFromName(const std::string& name)
{
    for (const KeyName& entry : kPadButtonNames) {
        if (name == entry.name)
            return entry.key;
    }
    return 0;
}

} // namespace Vel
