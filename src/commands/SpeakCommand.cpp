#include "commands/SpeakCommand.h"

#include "core/NameTable.h"
#include "core/TextArena.h"
#include "data/Translations.h"
#include "dialogue/Dialog.h"
#include "dialogue/HistoryLog.h"
#include "dialogue/Textbox.h"
#include "resources/Character.h"
#include "resources/ResourceManager.h"
#include "scene/PlayModes.h"
#include "sound/SoundManager.h"

#include <algorithm>
#include <cstring>

namespace Vel {

SpeakCommand::SpeakCommand(std::u16string_view text, std::u16string_view character, std::u16string_view voice)
    : m_character(&NameTable::Intern(character)),
      m_voice(voice.empty() ? nullptr : std::make_unique<const std::u16string>(voice)),
      m_wideText(std::any_of(text.begin(), text.end(), [](char16_t unit) { return unit > 0xFF; }))
{
    // A script line is far below 4 GiB; the limit only keeps the size field small.
    const std::size_t bytes = text.size() * (m_wideText ? sizeof(char16_t) : 1);
    m_textBytes = static_cast<std::uint32_t>(std::min<std::size_t>(bytes, UINT32_MAX & ~std::uint32_t{1}));
    char* stored = TextArena::Allocate(m_textBytes);
    if (m_wideText)
        std::memcpy(stored, text.data(), m_textBytes);
    else
        std::transform(text.begin(), text.begin() + m_textBytes, stored,
                       [](char16_t unit) { return static_cast<char>(static_cast<unsigned char>(unit)); });
    m_text = stored;
}

std::u16string SpeakCommand::Text() const
{
    std::u16string text;
    if (m_wideText) {
        text.resize(m_textBytes / sizeof(char16_t));
        std::memcpy(text.data(), m_text, m_textBytes);
    } else {
        text.resize(m_textBytes);
        std::transform(m_text, m_text + m_textBytes, text.begin(),
                       [](char byte) { return static_cast<char16_t>(static_cast<unsigned char>(byte)); });
    }
    return text;
}

void SpeakCommand::Execute(Scene& scene)
{
    ResourceManager* resources = ResourceManager::GetSingletonPtr();
    if (resources == nullptr) {
        Complete();
        return;
    }
    Character* character = resources->GetCharacter(*m_character);
    SoundManager* sound = SoundManager::GetSingletonPtr();
    const std::u16string original = Text();
    PlayModes& modes = PlayModes::Get();
    // Read marks belong to the game's own line, so a line read in one language counts as read in every other.
    const std::uint64_t key = modes.BeginLine(scene, original);
    const std::u16string& text = Translations::Get().Text(*m_character, original);
    if (m_voice && sound != nullptr && !modes.IsSkipping()) {
        // Guarded: the voice may end after a command run by a click action is gone.
        sound->PlayVoice(*m_voice, Guarded(&SpeakCommand::OnVoiceFinished));
        // A voice file that cannot be played would leave the mouth moving in silence for the whole line.
        if (sound->GetVoiceStream() != 0) {
            character->SetSpeaking(1);
            m_speaking = true;
        }
    }
    if (!character->Speak(text, Guarded(&SpeakCommand::OnSpeechFinished)))
        return;
    // The dialog that showed the line is the engine's own, the only kind there is.
    if (auto* dialog = dynamic_cast<Dialog*>(character->GetDialog())) {
        if (key != 0 && modes.IsSkipping())
            dialog->GetTextbox()->CompleteText();
        dialog->GetTextbox()->SetReadKey(key);
        NoteInHistory(*dialog);
    }
}

// The line as its boxes show it now, the name as the name box shows it.
void SpeakCommand::NoteInHistory(const Dialog& dialog) const
{
    if (HistoryLog* history = HistoryLog::GetSingletonPtr())
        history->Add(dialog.GetNamebox(), *dialog.GetTextbox(), GetVoice());
}

const std::u16string& SpeakCommand::GetVoice() const
{
    static const std::u16string s_none;
    return m_voice ? *m_voice : s_none;
}

std::u16string SpeakCommand::GetDescription() const
{
    return u"Speak-" + *m_character;
}

void SpeakCommand::OnSpeechFinished()
{
    PlayModes::Get().EndLine();
    if (SoundManager* sound = SoundManager::GetSingletonPtr())
        sound->PlayVoice(u"", {});
    // A voice cut short above drops its own callback, so OnVoiceFinished will not come to end the speaking picture.
    StopSpeaking();
    Complete();
}

void SpeakCommand::OnVoiceFinished()
{
    StopSpeaking();
}

void SpeakCommand::StopSpeaking()
{
    if (!m_speaking)
        return;
    m_speaking = false;
    if (ResourceManager* resources = ResourceManager::GetSingletonPtr())
        resources->GetCharacter(*m_character)->SetSpeaking(0);
}

} // namespace Vel
