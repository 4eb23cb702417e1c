#include "dialogue/Dialog.h"

#include "DialogueTestTools.h"
#include "HeadlessHge.h"

#include "dialogue/DialogManager.h"
#include "dialogue/Textbox.h"
#include "resources/ResourceManager.h"
#include "resources/Style.h"

#include <gtest/gtest.h>

#include <memory>

namespace Vel {
namespace {

using TestTools::TimeAnimator;

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_hge->System_SetState(HGE_LOGFILE, m_folder.File("engine.log").c_str());
        ASSERT_TRUE(m_hge->System_Initiate());
        m_textStyle = m_resources.GetStyle(u"speech");
        m_textStyle->Set({.font = u"letters", .size = 16, .lineSpacing = 100, .speed = 10, .clickme = u"arrow"},
                         m_resources.GetFontLibrary());
        m_nameStyle = m_resources.GetStyle(u"names");
        m_nameStyle->Set({.font = u"letters", .size = 16, .lineSpacing = 100, .speed = 1},
                         m_resources.GetFontLibrary());
    }

    Callback<void()> Counter()
    {
        return Callback<void()>([this] { ++m_done; });
    }

    TestTools::FontFolder m_folder;
    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    DialogManager m_dialogs;
    Style* m_textStyle = nullptr;
    Style* m_nameStyle = nullptr;
    int m_done = 0;
};

TEST_F(DialogTest, WithoutATextStyleTheSpeechEndsAtOnceAndWithoutANameStyleTheTextStyleNamesToo)
{
    Dialog mute(u"text", u"name", m_nameStyle, nullptr, u"Ghost");
    EXPECT_FALSE(mute.Speak(u"...", Counter()));
    EXPECT_FALSE(mute.GetTextbox()->IsVisible() || mute.GetNamebox()->IsVisible());

    Dialog plain(u"text", u"name", nullptr, m_textStyle, u"Ben");
    EXPECT_TRUE(plain.Speak(u"Hi", Counter()));
    EXPECT_EQ(plain.GetNamebox()->GetStyle(), m_textStyle);
    EXPECT_EQ(m_done, 1);
}

TEST_F(DialogTest, HidingStopsTheTextsAnimatorsAndAGoneDialogIsNeverReachedThroughItsBox)
{
    auto dialog = std::make_unique<Dialog>(u"text", u"name", m_nameStyle, m_textStyle, u"Anna");
    Textbox* text = dialog->GetTextbox();
    Textbox* name = dialog->GetNamebox();
    ASSERT_TRUE(dialog->Speak(u"Hello", Counter()));
    text->AddAnimator(std::make_unique<TimeAnimator>(*text));
    name->AddAnimator(std::make_unique<TimeAnimator>(*name));
    dialog->Hide();
    EXPECT_FALSE(text->IsVisible() || name->IsVisible());
    EXPECT_EQ(text->GetAnimatorCount(), 0u);
    EXPECT_EQ(name->GetAnimatorCount(), 1u);

    // The script redefines the character while its line is still waiting to be read.
    ASSERT_TRUE(dialog->Speak(u"Hello", Counter()));
    const Callback<void()> handler = text->GetCompletionHandler();
    dialog.reset();
    handler();
    EXPECT_EQ(m_done, 0);
}

} // namespace
} // namespace Vel
