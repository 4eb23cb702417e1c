#include "core/PlayerSettings.h"

#include "core/HgeManager.h"
#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "platform/IniFile.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string_view>

namespace Vel {

namespace {

constexpr const char* kSection = "player";

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c); });
    return text;
}

// Digits with an optional sign; nothing for anything else. Numbers too long for an int still read, as a large
// number of the same sign, so that they clamp like the others.
std::optional<std::int64_t> ReadWhole(std::string_view text)
{
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        text.remove_prefix(1);
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    std::int64_t value = 0;
    for (char digit : text)
        value = std::min<std::int64_t>(value * 10 + (digit - '0'), 1'000'000'000);
    return negative ? -value : value;
}

std::optional<bool> ReadYesNo(const std::string& text)
{
    const std::string lower = Lower(text);
    if (lower == "yes")
        return true;
    if (lower == "no")
        return false;
    return std::nullopt;
}

// "WxH", each side 1 to 99999 pixels.
bool ReadWindowSize(const std::string& text, std::int32_t& width, std::int32_t& height)
{
    const std::size_t cross = Lower(text).find('x');
    if (cross == std::string::npos)
        return false;
    const std::string_view view(text);
    const auto readSide = [](std::string_view side) -> std::int32_t {
        const std::optional<std::int64_t> value = ReadWhole(side);
        return value && *value >= 1 && *value <= 99999 ? static_cast<std::int32_t>(*value) : 0;
    };
    width = readSide(view.substr(0, cross));
    height = readSide(view.substr(cross + 1));
    return width > 0 && height > 0;
}

// Why the text cannot be a settings file: binary bytes, text that is not UTF-8, or a line that is neither blank, a
// comment, a section nor a key. Empty when it can.
std::string Damage(const std::string& text)
{
    if (text.find('\0') != std::string::npos)
        return "it holds binary data";
    std::size_t invalid = 0;
    static_cast<void>(TextCodec::Utf8ToWide(text, &invalid));
    if (invalid > 0)
        return "it is not UTF-8 text";
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t first = line.find_first_not_of(" \t\r\xEF\xBB\xBF");
        if (first == std::string::npos || line[first] == ';' || line[first] == '#' || line[first] == '[' ||
            line.find('=') != std::string::npos)
            continue;
        return "a line is neither a section nor a key=value pair";
    }
    return {};
}

// Reads one 0..10 number into target; false for a value that is no number.
bool ReadScale(const IniFile& ini, const char* key, std::int32_t& target)
{
    const std::optional<std::string> text = ini.Get(kSection, key);
    if (!text)
        return true;
    const std::optional<std::int64_t> value = ReadWhole(*text);
    if (!value)
        return false;
    target = static_cast<std::int32_t>(std::clamp<std::int64_t>(*value, 0, PlayerSettings::kLargest));
    return true;
}

bool ReadFlag(const IniFile& ini, const char* key, bool& target)
{
    const std::optional<std::string> text = ini.Get(kSection, key);
    if (!text)
        return true;
    const std::optional<bool> value = ReadYesNo(*text);
    if (value)
        target = *value;
    return value.has_value();
}

// A slider's value as a preference: rounded and clamped to 0..10.
std::int32_t Scale(float value)
{
    if (!std::isfinite(value))
        return 0;
    return static_cast<std::int32_t>(
        std::lround(std::clamp(value, 0.0f, static_cast<float>(PlayerSettings::kLargest))));
}

const char* YesNo(bool value)
{
    return value ? "yes" : "no";
}

} // namespace

PlayerPreferences PlayerSettings::Parse(const std::string& text, const std::string& fileName,
                                        std::vector<std::string>* complaints)
{
    PlayerPreferences preferences;
    const auto complain = [&](const std::string& line) {
        if (complaints != nullptr)
            complaints->push_back(fileName + ": " + line);
    };
    if (const std::string damage = Damage(text); !damage.empty()) {
        complain("cannot be read (" + damage + "); the default preferences are used");
        return preferences;
    }
    const IniFile ini = IniFile::Parse(text);
    const auto badValue = [&](const char* key, const std::string& expected, const std::string& fallback) {
        complain(std::string(key) + "=" + ini.Get(kSection, key).value_or("") + " is not " + expected + "; " +
                 fallback + " is used instead");
    };
    const PlayerPreferences defaults;
    if (!ReadScale(ini, "textspeed", preferences.textSpeed))
        badValue("textspeed", "a number from 0 to 10", std::to_string(defaults.textSpeed));
    if (!ReadScale(ini, "autospeed", preferences.autoSpeed))
        badValue("autospeed", "a number from 0 to 10", std::to_string(defaults.autoSpeed));
    if (!ReadFlag(ini, "skipunread", preferences.skipUnread))
        badValue("skipunread", "yes or no", YesNo(defaults.skipUnread));
    if (!ReadFlag(ini, "autosave", preferences.autoSave))
        badValue("autosave", "yes or no", YesNo(defaults.autoSave));
    if (bool fullscreen = false; ini.Get(kSection, "fullscreen")) {
        if (ReadFlag(ini, "fullscreen", fullscreen))
            preferences.fullscreen = fullscreen;
        else
            badValue("fullscreen", "yes or no", "the game's own screen mode");
    }
    if (const std::optional<std::string> size = ini.Get(kSection, "windowsize"); size && !size->empty()) {
        if (!ReadWindowSize(*size, preferences.windowWidth, preferences.windowHeight)) {
            preferences.windowWidth = preferences.windowHeight = 0;
            badValue("windowsize", "a size such as 1280x720", "the game's own size");
        }
    }
    preferences.language = ini.Get(kSection, "language").value_or("");
    return preferences;
}

std::string PlayerSettings::Format(const PlayerPreferences& preferences)
{
    std::string text = "[player]\n";
    text += "textspeed=" + std::to_string(preferences.textSpeed) + "\n";
    text += "autospeed=" + std::to_string(preferences.autoSpeed) + "\n";
    text += std::string("skipunread=") + YesNo(preferences.skipUnread) + "\n";
    text += std::string("autosave=") + YesNo(preferences.autoSave) + "\n";
    if (preferences.fullscreen)
        text += std::string("fullscreen=") + YesNo(*preferences.fullscreen) + "\n";
    if (preferences.windowWidth > 0 && preferences.windowHeight > 0)
        text += "windowsize=" + std::to_string(preferences.windowWidth) + "x" +
                std::to_string(preferences.windowHeight) + "\n";
    text += "language=" + preferences.language + "\n";
    return text;
}

std::string PlayerSettings::FileName()
{
    return TextCodec::WideToUtf8(UserFiles::GetUserFolder()) + kFileName;
}

void PlayerSettings::Load()
{
    m_loaded = true;
    const std::string fileName = FileName();
    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        m_preferences = {};
        return;
    }
    std::ostringstream text;
    text << file.rdbuf();
    std::vector<std::string> complaints;
    m_preferences = Parse(text.str(), fileName, &complaints);
    for (const std::string& line : complaints)
        HgeManager::Log(line);
}

bool PlayerSettings::ChooseFullscreen(bool scriptChoice)
{
    if (!m_preferences.fullscreen)
        m_preferences.fullscreen = scriptChoice;
    return *m_preferences.fullscreen;
}

bool PlayerSettings::Save() const
{
    const std::string fileName = FileName();
    const std::string temporary = fileName + ".tmp";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file << Format(m_preferences);
        file.close();
        if (file && std::rename(temporary.c_str(), fileName.c_str()) == 0)
            return true;
    }
    std::remove(temporary.c_str());
    HgeManager::Log(fileName + " cannot be written; the previous preferences file is kept");
    return false;
}

void PlayerSettings::SetTextSpeed(float speed)
{
    if (const std::int32_t value = Scale(speed); value != m_preferences.textSpeed) {
        m_preferences.textSpeed = value;
        Changed();
    }
}

void PlayerSettings::SetAutoSpeed(float speed)
{
    if (const std::int32_t value = Scale(speed); value != m_preferences.autoSpeed) {
        m_preferences.autoSpeed = value;
        Changed();
    }
}

void PlayerSettings::SetFullscreen(bool fullscreen)
{
    if (m_preferences.fullscreen == fullscreen)
        return;
    m_preferences.fullscreen = fullscreen;
    Changed();
}

void PlayerSettings::SetWindowSize(std::int32_t width, std::int32_t height)
{
    if (width <= 0 || height <= 0)
        return;
    m_preferences.windowWidth = width;
    m_preferences.windowHeight = height;
}

void PlayerSettings::ToggleSkipUnread()
{
    m_preferences.skipUnread = !m_preferences.skipUnread;
    Changed();
}

void PlayerSettings::ToggleAutoSave()
{
    m_preferences.autoSave = !m_preferences.autoSave;
    Changed();
}

void PlayerSettings::SetLanguage(const std::string& code)
{
    const bool shownChanges = Language() != code;
    m_runLanguage.reset();
    if (m_preferences.language != code) {
        m_preferences.language = code;
        Changed();
    } else if (shownChanges && !m_changed.IsEmpty()) {
        m_changed();
    }
}

void PlayerSettings::SetRunLanguage(const std::string& code)
{
    m_runLanguage = code;
    if (!m_changed.IsEmpty())
        m_changed();
}

void PlayerSettings::Changed()
{
    if (m_loaded)
        Save();
    if (!m_changed.IsEmpty())
        m_changed();
}

float PlayerSettings::TypingSpeed(float speed)
{
    const PlayerSettings* settings = GetSingletonPtr();
    const std::int32_t textSpeed =
        settings != nullptr ? settings->m_preferences.textSpeed : PlayerPreferences{}.textSpeed;
    if (speed <= 0.0f)
        return speed;
    if (textSpeed >= kLargest)
        return 0.0f;
    return speed * static_cast<float>(textSpeed + 1) / 6.0f;
}

} // namespace Vel
