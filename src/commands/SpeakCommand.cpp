#include "commands/SpeakCommand.h"

#include "resources/Character.h"
#include "resources/ResourceManager.h"
#include "sound/SoundManager.h"

namespace Vel {

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
    character->Speak(m_text, Guarded(&SpeakCommand::OnSpeechFinished));
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
