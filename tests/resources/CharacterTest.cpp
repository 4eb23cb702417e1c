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
#include <vector>

namespace Vel {
namespace {

using TestTools::Box;
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

// The speak and idle pictures of a voiced line are the dialogue run's; these are the rules around them.
TEST_F(CharacterTest, APoseMadeCurrentTakesTheSpeakingStateAndTheFirstDefinitionStays)
{
    Still(u"red", 4, 4, 0xFFFF0000);
    Still(u"green", 6, 2, 0xFF00FF00);
    Character* anna = m_manager.GetCharacter(u"anna");
    EXPECT_EQ(anna->GetWidth(), 0.0f) << "no pose yet";
    anna->AddPose(u"talk", u"red", u"green", u"");
    anna->AddPose(u"talk", u"green", u"red", u"");
    anna->SetSpeaking(Pose::Speaking);
    anna->SetPose(u"talk");
    // Green zoomed twice at (10, 5).
    EXPECT_EQ(Draw(*anna, 10.0f, 5.0f, 2.0f, 1.0f).BoxOf(0x00FF00), (Box{10, 5, 21, 8, 48}));
    EXPECT_EQ(std::pair(anna->GetWidth(), anna->GetHeight()), std::pair(6.0f, 2.0f));
    anna->SetSpeaking(2);
    const TestTools::ScreenPicture none = Draw(*anna, 10.0f, 5.0f, 2.0f, 1.0f);
    EXPECT_EQ(none.BoxOf(0xFF0000)[4] + none.BoxOf(0x00FF00)[4], 0) << "an unknown mode shows nothing";
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
    EXPECT_EQ(picture.At(8, 8), 0x7F7F7Fu) << "the body is faded";
    EXPECT_EQ(picture.At(9, 9), 0u) << "the body is zoomed to 4 x 4 at the node's place";
}

TEST_F(CharacterTest, AvatarTakesThePoseFaceElseItsDefaultElseKeepsItsPicture)
{
    Sprite* face = m_manager.GetSprite(u"face");
    Sprite* smile = m_manager.GetSprite(u"smile");
    Sprite* frown = m_manager.GetSprite(u"frown");
    const auto faces = [&](const char16_t* name, const char16_t* avatar, std::vector<const char16_t*> poses) {
        Character* character = m_manager.GetCharacter(name);
        for (const auto& [pose, face] :
             {std::pair{u"plain", u""}, {u"happy", u"smile"}, {u"sad", u"frown"}, {u"odd", u"no such face"}})
            character->AddPose(pose, u"", u"", face);
        character->SetAvatar(avatar, 1.0f, 2.0f);
        std::vector<Resource*> shown;
        for (const char16_t* pose : poses) {
            character->SetPose(pose);
            shown.push_back(character->GetAvatar()->GetPicture());
        }
        return shown;
    };
    EXPECT_EQ(faces(u"anna", u"face", {u"happy", u"plain", u"sad", u"odd", u"plain"}),
              (std::vector<Resource*>{smile, face, frown, nullptr, face}));
    EXPECT_EQ(faces(u"bob", u"", {u"plain", u"happy", u"plain", u"sad", u"plain"}),
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
