#include "commands/SetTextCommand.h"

#include "data/Translations.h"
#include "dialogue/HistoryLog.h"
#include "dialogue/Textbox.h"
#include "resources/ResourceManager.h"
#include "resources/Style.h"
#include "scene/ClickGate.h"
#include "scene/PlayModes.h"
#include "scene/ScenesManager.h"

namespace Vel {

void SetTextCommand::Execute(Scene& scene)
{
    Textbox* box = m_text.box;
    if (box == nullptr) {
        Complete();
        return;
    }
    // Looked up once: the style's continue picture may be defined after the text statement was read.
    if (m_text.clickme == nullptr && m_text.style != nullptr)
        m_text.clickme = ResourceManager::FindPicture(m_text.style->GetClickme());
    PlayModes& modes = PlayModes::Get();
    const std::uint64_t key = modes.BeginLine(scene, m_text.text);
    box->SetText(Translations::Get().Text({}, m_text.text), m_text.style, m_text.speed, m_text.clickme,
                 m_text.click ? Textbox::TypingClick::ShowsAll : Textbox::TypingClick::Ignored,
                 m_text.skip ? Textbox::ReadClick::GoesOn : Textbox::ReadClick::Ignored);
    if (key != 0 && modes.IsSkipping())
        box->CompleteText();
    box->SetReadKey(key);
    // The story's texts only: an interface scene's labels (a clock, a counter) are no part of what was told.
    const ScenesManager* scenes = ScenesManager::GetSingletonPtr();
    HistoryLog* history = HistoryLog::GetSingletonPtr();
    if (history != nullptr && scenes != nullptr && scenes->GetCurrentScene() == &scene)
        history->Add(nullptr, *box, {});
    if (GetWait()) {
        // Guarded: the box belongs to the DialogManager and outlives a command run by a click action.
        box->SetCompletionHandler(Guarded(&SetTextCommand::OnTextFinished));
        return;
    }
    // A handler left by an earlier command would report that finished command again on the next click.
    box->SetCompletionHandler({});
    Complete();
}

std::u16string SetTextCommand::GetDescription() const
{
    return u"Text";
}

void SetTextCommand::OnTextFinished()
{
    PlayModes::Get().EndLine();
    m_text.box->HideBox();
    m_text.box->SetCompletionHandler({});
    // The click that finished the text must not also advance what comes next.
    ClickGate::Left().Close();
    Complete();
}

} // namespace Vel
