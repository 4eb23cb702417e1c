#pragma once

// What a character speaks through: a name box and a text box with their styles. The character owns its dialog
// but knows it only by this face, since the boxes belong to the dialogue layer above the resources; the script
// reader makes the concrete dialog.

#include "core/Callback.h"

#include <string>

namespace Vel {

class CharacterDialog
{
public:
    virtual ~CharacterDialog() = default;

    // Shows the speaker's name at once and types the text; done is called once the player has read it (or at once
    // when the dialog cannot show text, so the story never hangs). Returns whether the text is shown.
    virtual bool Speak(const std::u16string& text, Callback<void()> done) = 0;
    // Hides both boxes; the text box's animators stop.
    virtual void Hide() = 0;
    // The name shown in the name box.
    [[nodiscard]] virtual const std::u16string& GetSpeakerName() const = 0;
};

} // namespace Vel
