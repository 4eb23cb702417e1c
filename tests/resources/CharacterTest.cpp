#include "resources/Character.h"

#include "HeadlessHge.h"
#include "ScreenPicture.h"
#include "TempFolder.h"
#include "core/TextCodec.h"
#include "resources/Avatar.h"
#include "resources/CharacterDialog.h"
#include "resources/Pose.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace Vel {
namespace {

using TestTools::Box;
using TestTools::kNoBox;

// Records what the character asks of it; keeps a shown line's completion for the test, and runs it at once when it
// cannot show text, as the real dialog does.
class RecordingDialog : public CharacterDialog
{
public:
    RecordingDialog(std::vector<std::string>& events, std::string name, bool canShow)
        : m_events(events), m_name(std::move(name)), m_speaker(TextCodec::Utf8ToWide(m_name)), m_canShow(canShow)
    {
    }
    bool Speak(const std::u16string& text, Callback<void()> done) override
    {
        m_events.push_back(m_name + " says " + TextCodec::WideToUtf8(text));
        if (!m_canShow) {
            done();
            return false;
        }
        m_pending = std::move(done);
        return true;
    }
    void Hide() override { m_events.push_back(m_name + " hides"); }
    [[nodiscard]] const std::u16string& GetSpeakerName() const override { return m_speaker; }
    void Finish() const { m_pending(); } // as the player's click on the read text does

private:
    std::vector<std::string>& m_events;
    std::string m_name;
    std::u16string m_speaker;
    bool m_canShow;
    Callback<void()> m_pending;
};

class CharacterTest : public ::testing::Test
{
protected:
    CharacterTest() : m_hge(PlatformOptions{}, 64, 48)
    {
        m_hge->System_SetState(HGE_LOGFILE, m_folder.File("engine.log").c_str());
        EXPECT_TRUE(m_hge->System_Initiate());
    }

    // A sprite showing a one-colour BMP picture of the given size.
    Sprite* Still(const std::u16string& name, int width, int height, std::uint32_t argb)
    {
        const std::string file = m_folder.File(TextCodec::WideToUtf8(name) + ".bmp");
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, SDL_PIXELFORMAT_ARGB8888);
        SDL_FillRect(surface, nullptr, argb);
        EXPECT_EQ(SDL_SaveBMP(surface, file.c_str()), 0);
        SDL_FreeSurface(surface);
        Sprite* sprite = m_manager.GetSprite(name);
        sprite->SetFile(TextCodec::Utf8ToWide(file));
        return sprite;
    }
    TestTools::ScreenPicture Draw(Character& character, float x, float y, float zoom, float opacity)
    {
        return TestTools::DrawFrame(m_hge.Get(), [&] { character.Render(x, y, zoom, opacity); });
    }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    std::vector<std::string> m_events; // outlives the registry, whose dialogs report into it
    ResourceManager m_manager;
};

TEST_F(CharacterTest, PoseShowsItsIdleOrSpeakPictureByModeAndTheFirstDefinitionStays)
{
    Sprite* red = Still(u"red", 4, 4, 0xFFFF0000);
    Still(u"green", 6, 2, 0xFF00FF00);
    Character* anna = m_manager.GetCharacter(u"anna");
    // Which picture a draw at (10, 5) zoomed twice shows, by exactly covered rectangle.
    const auto shown = [&] {
        const TestTools::ScreenPicture picture = Draw(*anna, 10.0f, 5.0f, 2.0f, 1.0f);
        const Box redBox = picture.BoxOf(0xFF0000);
        const Box greenBox = picture.BoxOf(0x00FF00);
        if (redBox == Box{10, 5, 17, 12, 64} && greenBox == kNoBox)
            return std::string("red");
        if (greenBox == Box{10, 5, 21, 8, 48} && redBox == kNoBox)
            return std::string("green");
        return redBox == kNoBox && greenBox == kNoBox ? std::string("none") : std::string("mixed");
    };
    EXPECT_EQ(shown(), "none");
    EXPECT_EQ(anna->GetWidth(), 0.0f) << "no pose yet";

    anna->AddPose(u"calm", u"red", u"", u"");
    anna->AddPose(u"talk", u"red", u"green", u"");
    anna->AddPose(u"calm", u"green", u"green", u"");
    EXPECT_EQ(anna->FindPose(u"calm")->GetIdlePicture(), red) << "a second definition leaves the pose unchanged";
    anna->SetPose(u"calm");
    EXPECT_EQ(shown(), "red");
    anna->SetSpeaking(Pose::Speaking);
    EXPECT_EQ(shown(), "red") << "a pose without a speak picture shows its idle one while speaking";
    anna->SetPose(u"talk");
    EXPECT_EQ(shown(), "green") << "a pose made current takes the speaking state";
    EXPECT_EQ(std::pair(anna->GetWidth(), anna->GetHeight()), std::pair(6.0f, 2.0f));
    anna->SetSpeaking(Pose::Idle);
    EXPECT_EQ(shown(), "red");
    anna->SetPose(u"unknown");
    EXPECT_EQ(anna->GetCurrentPose(), anna->FindPose(u"talk")) << "an unknown pose changes nothing";
    anna->SetSpeaking(2);
    EXPECT_EQ(shown(), "none") << "an unknown mode shows nothing";
}

TEST_F(CharacterTest, AvatarStaysAtItsPlaceAtFullOpacityWhileTheCharacterFades)
{
    Still(u"face", 3, 3, 0xFF0000FF);
    Still(u"body", 2, 2, 0xFFFFFFFF);
    Character* anna = m_manager.GetCharacter(u"anna");
    anna->SetAvatar(u"face", 50.0f, 30.0f);
    EXPECT_EQ(Draw(*anna, 5.0f, 5.0f, 2.0f, 0.5f).BoxOf(0x0000FF), (Box{50, 30, 52, 32, 9})) << "before any pose";
    anna->AddPose(u"stand", u"body", u"", u"");
    anna->SetPose(u"stand");
    const TestTools::ScreenPicture picture = Draw(*anna, 5.0f, 5.0f, 2.0f, 0.5f);
    EXPECT_EQ(picture.BoxOf(0x0000FF), (Box{50, 30, 52, 32, 9})) << "unzoomed, fully opaque, at its own place";
    EXPECT_EQ(picture.BoxOf(0xFFFFFF), kNoBox) << "the body is faded";
    for (int shift : {16, 8, 0})
        EXPECT_NEAR(static_cast<int>(picture.At(8, 8) >> shift & 0xFF), 0x7F, 2);
    EXPECT_EQ(picture.At(9, 9), 0u) << "the body is zoomed to 4 x 4 at the node's place";
}

TEST_F(CharacterTest, AvatarTakesThePoseFaceElseItsDefaultElseKeepsItsPicture)
{
    Sprite* face = m_manager.GetSprite(u"face");
    Sprite* smile = m_manager.GetSprite(u"smile");
    Sprite* frown = m_manager.GetSprite(u"frown");
    Character* anna = m_manager.GetCharacter(u"anna");
    Character* bob = m_manager.GetCharacter(u"bob");
    for (Character* character : {anna, bob}) {
        character->AddPose(u"plain", u"", u"", u"");
        character->AddPose(u"happy", u"", u"", u"smile");
        character->AddPose(u"sad", u"", u"", u"frown");
        character->AddPose(u"odd", u"", u"", u"no such face");
    }
    const auto faces = [](Character* character, std::initializer_list<const char16_t*> poses) {
        std::vector<Resource*> shown;
        for (const char16_t* pose : poses) {
            character->SetPose(pose);
            shown.push_back(character->GetAvatar()->GetPicture());
        }
        return shown;
    };
    anna->SetAvatar(u"face", 1.0f, 2.0f);
    EXPECT_EQ(faces(anna, {u"happy", u"plain", u"sad", u"odd", u"plain"}),
              (std::vector<Resource*>{smile, face, frown, nullptr, face}));
    bob->SetAvatar(u"", 0.0f, 0.0f);
    EXPECT_EQ(faces(bob, {u"plain", u"happy", u"plain", u"sad", u"plain"}),
              (std::vector<Resource*>{nullptr, smile, smile, frown, frown}))
        << "an avatar made without a picture keeps the last pose face";
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
    EXPECT_EQ(Draw(*first, 0.0f, 0.0f, 1.0f, 1.0f).BoxOf(0xFF0000), kNoBox);
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
    EXPECT_EQ(done, 1) << "no dialog: the line completes at once";
    EXPECT_TRUE(bob->Speak(u"Hi", count()));
    EXPECT_EQ(done, 1) << "a shown line waits for the player";
    static_cast<RecordingDialog*>(bob->GetDialog())->Finish();
    EXPECT_EQ(done, 2);
    EXPECT_FALSE(carl->Speak(u"Hey", count()));
    EXPECT_EQ(done, 3) << "the dialog completes a line it cannot show, once";
    m_manager.HideAllDialogs();
    EXPECT_EQ(m_events, (std::vector<std::string>{"bob says Hi", "carl says Hey", "bob hides", "carl hides"}));

    const std::string log = m_folder.Read("engine.log");
    const std::string skipped = "Character 'anna' has no dialog; its line is skipped";
    EXPECT_NE(log.find(skipped), std::string::npos);
    EXPECT_EQ(log.find(skipped), log.rfind(skipped)) << "logged once";
    EXPECT_NE(log.find("Character 'carl' has a dialog without a text style"), std::string::npos);
}

} // namespace
} // namespace Vel
