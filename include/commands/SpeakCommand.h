#pragma once

#include "scene/Command.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace Vel {

class Character;
class Dialog;

// Lets a character say a line through its dialog, with an optional recorded voice. While the voice plays the
// character's pose shows its speaking picture. The line goes into the history log as it is shown. The command
// always reports when the reader has finished the line, whatever its wait flag; a voice still playing then stops.
class SpeakCommand : public Command
{
public:
    // voice: a sound file name, empty for none.
    SpeakCommand(std::u16string_view text, std::u16string_view character, std::u16string_view voice);

    void Execute(Scene& scene) override;
    // "Speak-" and the character's name.
    [[nodiscard]] std::u16string GetDescription() const override;

    [[nodiscard]] const std::u16string& GetVoice() const;

private:
    void NoteInHistory(const Dialog& dialog) const;
    void OnSpeechFinished();
    void OnVoiceFinished();
    // Back to the idle picture, when this run switched to the speaking one.
    void StopSpeaking();
    [[nodiscard]] std::u16string Text() const;

    // A long story holds a great many lines, mostly of characters below U+0100: such a line keeps one byte per
    // character, any other its UTF-16 code units as bytes; kept in the process-wide TextArena with its size, as no
    // line ever grows.
    const char* m_text = nullptr;
    // The same few speakers over and over: stored once each in the process-wide NameTable, which outlives every
    // command. A voice file is usually a line's own, so it is kept by the line, and only when there is one.
    const std::u16string* m_character = nullptr;
    std::unique_ptr<const std::u16string> m_voice;
    std::uint32_t m_textBytes = 0;
    bool m_wideText = false;
    bool m_speaking = false; // this run set the character speaking and has not ended it yet
};

} // namespace Vel
