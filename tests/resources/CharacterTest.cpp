#include "resources/Character.h"

#include "HeadlessHge.h"
#include "ScreenPicture.h"
#include "TempFolder.h"
#include "core/TextCodec.h"
#include "resources/Avatar.h"
#include "resources/CharacterDialog.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

using TestTools::kNoBox;

// Records what the character asks of it; keeps a shown line's completion for the test, and runs it at once when it
// cannot show text, as the real dialog does.
struct RecordingDialog : CharacterDialog
{
    RecordingDialog(std::vector<std::string>& events, std::string name, bool canShow)
        : events(events), name(std::move(name)), canShow(canShow)
    {
    }
    bool Speak(const std::u16string& text, Callback<void()> done) override
    {
        events.push_back(name + " says " + TextCodec::WideToUtf8(text));
        canShow ? void(pending = std::move(done)) : done();
        return canShow;
    }
    void Hide() override { events.push_back(name + " hides"); }
    [[nodiscard]] const std::u16string& GetSpeakerName() const override { return speaker; }

    std::vector<std::string>& events;
    std::string name;
    bool canShow;
    std::u16string speaker;
    Callback<void()> pending;
};

class CharacterTest : public ::testing::Test
{
protected:
    CharacterTest() : m_hge(PlatformOptions{}, 64, 48)
    {
        m_hge->System_SetState(HGE_LOGFILE, m_folder.File("engine.log").c_str());
        EXPECT_TRUE(m_hge->System_Initiate());
    }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    std::vector<std::string> m_events; // outlives the registry, whose dialogs report into it
    ResourceManager m_manager;
};

TEST_F(CharacterTest, AvatarTakesThePoseFaceElseItsDefault)
{
    const std::vector<Resource*> faces{m_manager.GetSprite(u"smile"), m_manager.GetSprite(u"face"),
                                       m_manager.GetSprite(u"frown"), nullptr, m_manager.GetSprite(u"face")};
    Character* anna = m_manager.GetCharacter(u"anna");
    for (const auto& [pose, face] :
         {std::pair{u"plain", u""}, {u"happy", u"smile"}, {u"sad", u"frown"}, {u"odd", u"no such face"}})
        anna->AddPose(pose, u"", u"", face);
    anna->SetAvatar(u"face", 1.0f, 2.0f);
    std::vector<Resource*> shown;
    for (const char16_t* pose : {u"happy", u"plain", u"sad", u"odd", u"plain"}) {
        anna->SetPose(pose);
        shown.push_back(anna->GetAvatar()->GetPicture());
    }
    EXPECT_EQ(shown, faces) << "a face that does not exist shows none";
}

TEST_F(CharacterTest, CharactersShowingEachOtherDoNotRecurse)
{
    Character* first = m_manager.GetCharacter(u"first");
    Character* second = m_manager.GetCharacter(u"second");
    first->AddPose(u"p", u"second", u"", u"");
    second->AddPose(u"p", u"first", u"", u"");
    first->SetPose(u"p");
    second->SetPose(u"p");
    EXPECT_EQ(first->GetWidth(), 0.0f);
    first->Update(0.1f);
    EXPECT_EQ(TestTools::DrawFrame(m_hge.Get(), [&] { first->Render(0.0f, 0.0f, 1.0f, 1.0f); }).BoxOf(0xFF0000),
              kNoBox);
}

TEST_F(CharacterTest, LinesThatCannotBeShownCompleteAtOnceAndAreLoggedOnce)
{
    int done = 0;
    const auto count = [&done] { return Callback<void()>([&done] { ++done; }); };
    Character* anna = m_manager.GetCharacter(u"anna");
    Character* bob = m_manager.GetCharacter(u"bob");
    Character* carl = m_manager.GetCharacter(u"carl");
    bob->SetDialog(std::make_unique<RecordingDialog>(m_events, "bob", true));
    carl->SetDialog(std::make_unique<RecordingDialog>(m_events, "carl", false));

    EXPECT_FALSE(anna->Speak(u"Hello", count()));
    EXPECT_TRUE(bob->Speak(u"Hi", count()));
    EXPECT_EQ(done, 1) << "no dialog: the line completes at once; a shown line waits for the player";
    static_cast<RecordingDialog*>(bob->GetDialog())->pending();
    EXPECT_FALSE(carl->Speak(u"Hey", count()));
    EXPECT_EQ(done, 3) << "the dialog completes a line it cannot show, once";
    m_manager.HideAllDialogs();
    EXPECT_EQ(m_events, (std::vector<std::string>{"bob says Hi", "carl says Hey", "bob hides", "carl hides"}));

    const std::string log = m_folder.Read("engine.log");
    const std::string skipped = "Character 'anna' has no dialog; its line is skipped";
    EXPECT_NE(log.find(skipped), std::string::npos);
    EXPECT_EQ(log.find(skipped), log.rfind(skipped));
    EXPECT_NE(log.find("Character 'carl' has a dialog without a text style"), std::string::npos);
}

} // namespace
} // namespace Vel
