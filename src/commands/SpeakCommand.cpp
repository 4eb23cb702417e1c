#include "commands/SpeakCommand.h"

#include "resources/Character.h"
#include "resources/ResourceManager.h"
#include "sound/SoundManager.h"

#include <algorithm>
#include <cstring>

namespace Vel {

SpeakCommand::SpeakCommand(std::u16string_view text, std::u16string character, std::u16string voice)
    : m_character(std::move(character)), m_voice(std::move(voice)),
      m_wideText(std::any_of(text.begin(), text.end(), [](char16_t unit) { return unit > 0xFF; }))
{
    if (m_wideText) {
        m_text.resize(text.size() * sizeof(char16_t));
        std::memcpy(m_text.data(), text.data(), m_text.size());
    } else {
        m_text.resize(text.size());
        std::transform(text.begin(), text.end(), m_text.begin(),
                       [](char16_t unit) { return static_cast<char>(static_cast<unsigned char>(unit)); });
    }
}

std::u16string SpeakCommand::Text() const
{
    std::u16string text;
    if (m_wideText) {
        text.resize(m_text.size() / sizeof(char16_t));
        std::memcpy(text.data(), m_text.data(), m_text.size());
    } else {
        text.resize(m_text.size());
        std::transform(m_text.begin(), m_text.end(), text.begin(),
                       [](char byte) { return static_cast<char16_t>(static_cast<unsigned char>(byte)); });
    }
    return text;
}

void SpeakCommand::Execute(Scene&)
{
    ResourceManager* resources = ResourceManager::GetSingletonPtr();
    if (resources == nullptr) {
        Complete();
        return;
    }
    Character* character = resources->GetCharacter(m_character);
    SoundManager* sound = SoundManager::GetSingletonPtr();
    if (!m_voice.empty() && sound != nullptr) {
        // Guarded: the voice may end after a command run by a click action is gone.
        sound->PlayVoice(m_voice, Guarded(&SpeakCommand::OnVoiceFinished));
        // A voice file that cannot be played would leave the mouth moving in silence for the whole line.
        if (sound->GetVoiceStream() != 0) {
            character->SetSpeaking(1);
            m_speaking = true;
        }
    }
    character->Speak(Text(), Guarded(&SpeakCommand::OnSpeechFinished));
}

std::u16string SpeakCommand::GetDescription() const
{
    return u"Speak-" + m_character;
}

void SpeakCommand::OnSpeechFinished()
{
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
        resources->GetCharacter(m_character)->SetSpeaking(0);
}

} // namespace Vel
