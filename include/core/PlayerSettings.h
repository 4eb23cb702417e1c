#pragma once

// The player's preferences, kept in "settings.ini" in the game's user folder: read at start-up once the system
// script has named the game (full screen is decided before the window opens), written whenever a preference changes
// and at every normal end. The options menu's sliders and switches, the screen mode switch and the typing of text
// read and change them here; a change handler lets the engine mirror them into its "_" triggers.
//
// The file is one "[player]" section of "key=value" lines. Numbers outside 0..10 are clamped; any other value that
// cannot be read is logged with its key, replaced by the default and written back as the default. A file that is
// not text at all is logged and gives the defaults.

#include "core/Callback.h"
#include "core/VelSingleton.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace Vel {

struct PlayerPreferences
{
    std::int32_t textSpeed = 5; // 0..10: letters typed at speed x (textSpeed + 1) / 6; 10 shows text whole
    std::int32_t autoSpeed = 5; // 0..10
    bool skipUnread = false;
    bool autoSave = true;
    std::optional<bool> fullscreen; // nothing: the system script's graphics_init decides
    std::int32_t windowWidth = 0;   // 0: no remembered window size
    std::int32_t windowHeight = 0;
    std::string language; // empty: the game's own
};

class PlayerSettings : public Singleton<PlayerSettings>
{
public:
    static constexpr const char* kFileName = "settings.ini";
    static constexpr std::int32_t kLargest = 10;

    PlayerSettings() = default;
    virtual ~PlayerSettings() = default;

    // The preferences of a file's text. complaints, when given, gets one line for the log per value that was not
    // read as written (naming fileName and the key), or one for a text that is no settings file at all.
    [[nodiscard]] static PlayerPreferences Parse(const std::string& text, const std::string& fileName,
                                                 std::vector<std::string>* complaints = nullptr);
    // The file's text for the preferences.
    [[nodiscard]] static std::string Format(const PlayerPreferences& preferences);

    // Reads the user folder's file; a missing one gives the defaults, a damaged one is logged. Writes nothing.
    void Load();
    // The screen mode to open in: the remembered one, else the system script's, which is remembered from now on.
    [[nodiscard]] bool ChooseFullscreen(bool scriptChoice);
    // Replaces the file through a temporary one; false, logged, when it cannot be written (the old file stays).
    bool Save() const;
    // The user folder's "settings.ini", UTF-8.
    [[nodiscard]] static std::string FileName();

    [[nodiscard]] const PlayerPreferences& Get() const { return m_preferences; }

    // Each setter writes the file and calls the change handler when the value changes; numbers are clamped and
    // rounded. Until the user folder is known (before Load) nothing is written.
    void SetTextSpeed(float speed);
    void SetAutoSpeed(float speed);
    void SetFullscreen(bool fullscreen);
    void ToggleSkipUnread();
    // The window's size as the player left it. Kept for the next Save, not written at once: a window dragged to a
    // new size reports every size on the way.
    void SetWindowSize(std::int32_t width, std::int32_t height);
    void ToggleAutoSave();
    // The player's choice of language ("" for the game's own texts); it also ends a language chosen for this run.
    void SetLanguage(const std::string& code);
    // A language for this run only (--lang): shown instead of the preference, never written to the file.
    void SetRunLanguage(const std::string& code);
    // The language the game is shown in: the run's, else the preference.
    [[nodiscard]] const std::string& Language() const
    {
        return m_runLanguage ? *m_runLanguage : m_preferences.language;
    }
    // Called after every change, and never during Load.
    void SetChangeHandler(Callback<void()> handler) { m_changed = std::move(handler); }

    // The rate factor of typed text: a style's or text command's speed becomes this speed; 0 shows the text whole.
    // Speeds of 0 or less stay as they are. The default text speed without a settings manager.
    [[nodiscard]] static float TypingSpeed(float speed);

private:
    void Changed();

    PlayerPreferences m_preferences;
    std::optional<std::string> m_runLanguage;
    bool m_loaded = false;
    Callback<void()> m_changed;
};

} // namespace Vel
