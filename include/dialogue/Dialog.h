#pragma once

// A character's way of speaking: the name box that shows who speaks, the text box the line is typed into, and
// their styles. Made by the script's dialog statement and owned by its character.

#include "resources/CharacterDialog.h"

#include <memory>
#include <string>

namespace Vel {

class Style;
class Textbox;

class Dialog : public CharacterDialog
{
public:
    // The boxes come from the dialogue manager by name (get-or-create); a null name style takes the text style.
    Dialog(const std::u16string& textboxName, const std::u16string& nameboxName, Style* nameStyle, Style* textStyle,
           std::u16string speakerName);
    ~Dialog() override;
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Without a text style nothing is shown and done runs at once.
    bool Speak(const std::u16string& text, Callback<void()> done) override;
    void Hide() override;
    [[nodiscard]] const std::u16string& GetSpeakerName() const override { return m_name; }

    [[nodiscard]] Textbox* GetTextbox() const { return m_textbox; }
    [[nodiscard]] Style* GetTextStyle() const { return m_textStyle; }
    [[nodiscard]] Textbox* GetNamebox() const { return m_namebox; }

private:
    // The text box's completion: the player has read the line.
    void OnRead();

    std::u16string m_name;
    Style* m_textStyle = nullptr;
    Style* m_nameStyle = nullptr;
    Textbox* m_namebox = nullptr;
    Textbox* m_textbox = nullptr;
    Callback<void()> m_done;
    // The text box outlives the dialog (a script may redefine the character's dialog while it speaks); the handler
    // the box keeps reaches the dialog only while this lives.
    std::shared_ptr<Dialog*> m_self;
};

} // namespace Vel
