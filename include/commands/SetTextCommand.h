#pragma once

#include "scene/Command.h"

#include <string>
#include <utility>

namespace Vel {

class Resource;
class Style;
class Textbox;

// Types a text into a text box; a text of the story goes into the history log as it is shown. Waiting, it reports
// when the reader has finished the text (the click after the text is complete), hiding the box; otherwise it reports
// at once while the text goes on typing.
class SetTextCommand : public Command
{
public:
    struct Text
    {
        Textbox* box = nullptr; // borrowed from the DialogManager
        std::u16string text;
        Style* style = nullptr;      // borrowed from the ResourceManager; may be null
        float speed = 0.0f;          // handed to the box: speed x 3 letters a second, 0 or below all at once
        Resource* clickme = nullptr; // the continue picture; null: the style's, looked up at the first run
        bool click = true;           // a click completes the text being typed
        bool skip = true;            // a click on the complete text goes on
    };

    explicit SetTextCommand(Text text) : m_text(std::move(text)) {}

    void Execute(Scene& scene) override;
    // "Text".
    [[nodiscard]] std::u16string GetDescription() const override;

private:
    void OnTextFinished();

    Text m_text;
};

} // namespace Vel
