#include "dialogue/Dialog.h"

#include "data/Translations.h"

#include "dialogue/DialogManager.h"
#include "dialogue/Textbox.h"
#include "resources/ResourceManager.h"
#include "resources/Style.h"
#include "scene/ClickGate.h"

#include <utility>

namespace Vel {

Dialog::Dialog(const std::u16string& textboxName, const std::u16string& nameboxName, Style* nameStyle, Style* textStyle,
               std::u16string speakerName)
    : m_name(std::move(speakerName)), m_textStyle(textStyle), m_nameStyle(nameStyle != nullptr ? nameStyle : textStyle),
      m_self(std::make_shared<Dialog*>(this))
{
    DialogManager& dialogs = DialogManager::GetSingleton();
    m_namebox = dialogs.GetTextbox(nameboxName);
    m_textbox = dialogs.GetTextbox(textboxName);
}

Dialog::~Dialog() = default;

bool Dialog::Speak(const std::u16string& text, Callback<void()> done)
{
    m_done = std::move(done);
    if (m_textStyle == nullptr) {
        // Nothing could ever complete the speech: the story goes on at once.
        const Callback<void()> finished = std::move(m_done);
        m_done = {};
        finished();
        return false;
    }
    m_namebox->SetText(Translations::Get().Text({}, m_name), m_nameStyle, 0.0f, nullptr);
    Resource* clickme = ResourceManager::FindPicture(m_textStyle->GetClickme());
    m_textbox->SetText(text, m_textStyle, static_cast<float>(m_textStyle->GetSpeed()), clickme);
    m_textbox->SetCompletionHandler(Callback<void()>([self = std::weak_ptr<Dialog*>(m_self)] {
        if (const std::shared_ptr<Dialog*> dialog = self.lock())
            (*dialog)->OnRead();
    }));
    return true;
}

void Dialog::OnRead()
{
    m_namebox->HideBox();
    m_textbox->HideBox();
    m_textbox->SetCompletionHandler({});
    // The click that ended the line must not also end what comes next (a pause, a text).
    ClickGate::Left().Close();
    // Moved out first: the speaker's next line may be spoken from inside done.
    const Callback<void()> done = std::move(m_done);
    m_done = {};
    done();
}

void Dialog::Hide()
{
    m_textbox->ClearAnimators();
    m_textbox->HideBox();
    m_namebox->HideBox();
}

} // namespace Vel
