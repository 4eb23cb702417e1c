#include "resources/Character.h"

#include "HeadlessHge.h"
#include "ScreenPicture.h"
#include "TempFolder.h"
#include "app/TextCodec.h"
#include "resources/AdvancedFont.h"
#include "resources/Animation.h"
#include "resources/Avatar.h"
#include "resources/CharacterDialog.h"
#include "resources/Pose.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "resources/Style.h"
#include "resources/hgeFont.h"

#include <SDL.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace Vel {
namespace {

using TestTools::Box;
using TestTools::kNoBox;

// Records what the character asks of it into a shared list; it keeps the completion of a shown line for the test
// to run, and runs it at once itself when it cannot show text, as the real dialog does.
class RecordingDialog : public CharacterDialog
{
public:
    RecordingDialog(std::vector<std::string>& events, std::string name, bool canShow)
        : m_events(events), m_name(std::move(name)), m_speaker(TextCodec::Utf8ToWide(m_name)), m_canShow(canShow)
    {
    }
    ~RecordingDialog() override { m_events.push_back(m_name + " gone"); }

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

    // As the player's click on the read text does.
    void Finish() const { m_pending(); }

private:
    std::vector<std::string>& m_events;
    std::string m_name;
    std::u16string m_speaker;
    bool m_canShow;
    Callback<void()> m_pending;
};

// An initiated headless interface logging into a temporary folder, and the registry over it.
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

    // How many lines of the log contain the text.
    int LogLines(const std::string& text) const
    {
        const std::string log = m_folder.Read("engine.log");
        int count = 0;
        for (auto at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
            ++count;
        return count;
    }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    std::vector<std::string> m_events; // outlives the registry, whose dialogs report their end into it
    ResourceManager m_manager;
};

TEST_F(CharacterTest, PoseShowsItsIdleOrSpeakPictureByModeAndTheFirstDefinitionStays)
{
    Sprite* red = Still(u"red", 4, 4, 0xFFFF0000);
    Still(u"green", 6, 2, 0xFF00FF00);
    Character* anna = m_manager.GetCharacter(u"anna");
    EXPECT_EQ(m_manager.GetCharacter(u"anna"), anna);
    EXPECT_EQ(anna->GetName(), u"anna");
    EXPECT_FALSE(anna->IsStatic());

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
    anna->AddPose(u"ghost", u"nothing", u"", u"");
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
    EXPECT_EQ(anna->GetWidth(), 4.0f);
    anna->SetPose(u"unknown");
    EXPECT_EQ(anna->GetCurrentPose(), anna->FindPose(u"talk")) << "an unknown pose changes nothing";

    anna->SetSpeaking(2);
    EXPECT_EQ(shown(), "none") << "an unknown mode shows nothing";
    anna->SetSpeaking(Pose::Idle);
    anna->SetPose(u"ghost");
    EXPECT_EQ(shown(), "none");
    EXPECT_EQ(anna->GetHeight(), 0.0f) << "a picture name that finds nothing measures 0";
}

TEST_F(CharacterTest, AvatarStaysAtItsPlaceAtFullOpacityWhileTheCharacterFades)
{
    Still(u"face", 3, 3, 0xFF0000FF);
    Still(u"body", 2, 2, 0xFFFFFFFF);
    Character* anna = m_manager.GetCharacter(u"anna");
    anna->SetAvatar(u"face", 50.0f, 30.0f);
    {
        const TestTools::ScreenPicture picture = Draw(*anna, 5.0f, 5.0f, 2.0f, 0.5f);
        EXPECT_EQ(picture.BoxOf(0x0000FF), (Box{50, 30, 52, 32, 9})) << "before any pose only the avatar is drawn";
    }
    anna->AddPose(u"stand", u"body", u"", u"");
    anna->SetPose(u"stand");
    const TestTools::ScreenPicture picture = Draw(*anna, 5.0f, 5.0f, 2.0f, 0.5f);
    EXPECT_EQ(picture.BoxOf(0x0000FF), (Box{50, 30, 52, 32, 9})) << "unzoomed, fully opaque, at its own place";
    EXPECT_EQ(picture.BoxOf(0xFFFFFF), kNoBox) << "the body is faded";
    for (const auto& [x, y] : {std::pair{5, 5}, {8, 8}}) {
        const std::uint32_t half = picture.At(x, y);
        for (int shift : {16, 8, 0})
            EXPECT_NEAR(static_cast<int>(half >> shift & 0xFF), 0x7F, 2) << std::hex << half;
    }
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
    anna->SetPose(u"happy"); // without an avatar: only the pose changes
    EXPECT_EQ(anna->GetAvatar(), nullptr);

    anna->SetAvatar(u"face", 1.0f, 2.0f);
    std::vector<Resource*> faces;
    for (const char16_t* pose : {u"happy", u"plain", u"sad", u"odd", u"plain"}) {
        anna->SetPose(pose);
        faces.push_back(anna->GetAvatar()->GetPicture());
    }
    EXPECT_EQ(faces, (std::vector<Resource*>{smile, face, frown, nullptr, face}));

    bob->SetAvatar(u"", 0.0f, 0.0f);
    faces.clear();
    for (const char16_t* pose : {u"plain", u"happy", u"plain", u"sad", u"plain"}) {
        bob->SetPose(pose);
        faces.push_back(bob->GetAvatar()->GetPicture());
    }
    EXPECT_EQ(faces, (std::vector<Resource*>{nullptr, smile, smile, frown, frown}))
        << "an avatar made without a picture keeps the last pose face";

    anna->SetAvatar(u"frown", 3.0f, 4.0f);
    EXPECT_EQ(anna->GetAvatar()->GetPicture(), frown) << "a new avatar replaces the old one";
    EXPECT_EQ(std::pair(anna->GetAvatar()->GetX(), anna->GetAvatar()->GetY()), std::pair(3.0f, 4.0f));
    EXPECT_EQ(anna->GetAvatar()->GetDefaultName(), u"frown");
}

TEST_F(CharacterTest, UpdateAdvancesTheAvatarAndTheShownPictureAndFinishesTheCharacter)
{
    std::vector<Animation*> animations;
    for (const char16_t* name : {u"blink", u"still", u"talk"}) {
        Animation* animation = m_manager.GetAnimation(name);
        for (int i = 0; i < 4; ++i)
            animation->AddFrame(u"f.png", 0.25f, 0.0f, 0.0f);
        animations.push_back(animation);
    }
    const auto frames = [&] {
        return std::vector{animations[0]->GetCurrentFrame(), animations[1]->GetCurrentFrame(),
                           animations[2]->GetCurrentFrame()};
    };
    Character* anna = m_manager.GetCharacter(u"anna");
    int finished = 0;
    anna->SetFinishHandler(Callback<void()>([&finished] { ++finished; }));
    anna->SetAvatar(u"blink", 0.0f, 0.0f);
    anna->AddPose(u"p", u"still", u"talk", u"");
    anna->SetPose(u"p");
    anna->Update(0.25f);
    EXPECT_EQ(frames(), (std::vector{1, 1, 0}));
    EXPECT_EQ(finished, 1);
    anna->SetSpeaking(Pose::Speaking);
    anna->Update(0.25f);
    EXPECT_EQ(frames(), (std::vector{2, 1, 1})) << "only the shown pose picture plays";
    EXPECT_EQ(finished, 1);
}

TEST_F(CharacterTest, CharactersShowingEachOtherDoNotRecurse)
{
    Still(u"red", 4, 4, 0xFFFF0000);
    Character* self = m_manager.GetCharacter(u"self");
    self->AddPose(u"p", u"self", u"", u"");
    self->SetPose(u"p");
    Character* first = m_manager.GetCharacter(u"first");
    Character* second = m_manager.GetCharacter(u"second");
    first->AddPose(u"p", u"second", u"", u"");
    second->AddPose(u"p", u"first", u"", u"");
    second->AddPose(u"red", u"red", u"", u"");
    first->SetPose(u"p");
    second->SetPose(u"p");
    for (Character* character : {self, first, second}) {
        EXPECT_EQ(character->GetWidth(), 0.0f);
        character->Update(0.1f);
        const TestTools::ScreenPicture picture = Draw(*character, 0.0f, 0.0f, 1.0f, 1.0f);
        EXPECT_EQ(picture.BoxOf(0xFF0000), kNoBox);
    }
    second->SetPose(u"red");
    EXPECT_EQ(first->GetWidth(), 4.0f) << "a character may show another one";
    const TestTools::ScreenPicture picture = Draw(*first, 1.0f, 1.0f, 1.0f, 1.0f);
    EXPECT_EQ(picture.BoxOf(0xFF0000), (Box{1, 1, 4, 4, 16}));
}

TEST_F(CharacterTest, LinesThatCannotBeShownCompleteAtOnceAndAreLoggedOnce)
{
    std::vector<std::string>& events = m_events;
    int done = 0;
    const auto count = [&done] { return Callback<void()>([&done] { ++done; }); };
    // Made out of name order, so the hiding order below is the registry's.
    Character* carl = m_manager.GetCharacter(u"carl");
    Character* anna = m_manager.GetCharacter(u"anna");
    Character* bob = m_manager.GetCharacter(u"bob");
    carl->SetDialog(std::make_unique<RecordingDialog>(events, "carl", false));
    bob->SetDialog(std::make_unique<RecordingDialog>(events, "bob-1", true));
    bob->SetDialog(std::make_unique<RecordingDialog>(events, "bob-2", true));

    EXPECT_FALSE(anna->Speak(u"Hello", count()));
    EXPECT_EQ(done, 1) << "no dialog: the line completes at once";
    EXPECT_TRUE(bob->Speak(u"Hi", count()));
    EXPECT_EQ(done, 1) << "a shown line waits for the player";
    static_cast<RecordingDialog*>(bob->GetDialog())->Finish();
    EXPECT_EQ(done, 2);
    EXPECT_FALSE(carl->Speak(u"Hey", count()));
    EXPECT_EQ(done, 3) << "the dialog completes a line it cannot show, once";

    events.push_back("--");
    m_manager.HideAllDialogs();
    anna->HideDialog();
    EXPECT_EQ(events, (std::vector<std::string>{"bob-1 gone", "bob-2 says Hi", "carl says Hey", "--", "bob-2 hides",
                                                "carl hides"}));
    EXPECT_EQ(LogLines("Character 'anna' has no dialog; its line is skipped"), 1);
    EXPECT_EQ(LogLines("Character 'carl' has a dialog without a text style; its line is skipped"), 1);
    EXPECT_EQ(LogLines("'bob'"), 0);
}

TEST_F(CharacterTest, RegistryFindsSpritesThenAnimationsThenCharactersAndKeepsStyles)
{
    Sprite* sprite = m_manager.GetSprite(u"x");
    (void)m_manager.GetAnimation(u"x");
    (void)m_manager.GetCharacter(u"x");
    Animation* animation = m_manager.GetAnimation(u"y");
    (void)m_manager.GetCharacter(u"y");
    EXPECT_EQ(m_manager.FindResource(u"x"), sprite);
    EXPECT_EQ(m_manager.FindResource(u"y"), animation);
    EXPECT_EQ(m_manager.FindResource(u"w"), nullptr);
    Character* hero = m_manager.GetCharacter(u"hero");
    EXPECT_EQ(m_manager.FindResource(u"hero"), hero);
    EXPECT_EQ(hero->GetType(), ResourceType::Character);
    EXPECT_EQ(m_manager.FindResource(u"w"), nullptr) << "looking up creates nothing";

    EXPECT_EQ(m_manager.GetStyle(u""), nullptr);
    Style* style = m_manager.GetStyle(u"talk");
    EXPECT_EQ(m_manager.GetStyle(u"talk"), style);
    EXPECT_NE(m_manager.GetStyle(u"name"), style);
    EXPECT_EQ(style->GetFont(), nullptr);
    EXPECT_EQ(style->GetBitmapFont(), nullptr);
    EXPECT_EQ(std::vector({style->GetRed(), style->GetGreen(), style->GetBlue(), style->GetAlpha()}),
              std::vector(4, 1.0f))
        << "white by default";

    m_folder.Write("fonts/serif.fnt", "[HGEFONT]\nChar=\"A\",0,0,8,8,0,0\n");
    m_folder.Write("fonts/plain.fnt", "[HGEFONT]\nChar=\"B\",0,0,8,8,0,0\n");
    m_folder.Enter();
    style->Set(u"serif", 20, 120, u"t", 10, u"arrow", 1.0f, 0.5f, 0.25f, 0.75f, m_manager.GetFontLibrary());
    AdvancedFont* font = style->GetFont();
    ASSERT_NE(style->GetBitmapFont(), nullptr);
    EXPECT_TRUE(style->GetBitmapFont()->HasLetter('A'));
    EXPECT_EQ(
        std::tuple(style->GetSize(), style->GetLineSpacing(), style->GetTag(), style->GetSpeed(), style->GetClickme()),
        std::tuple(20, 120, std::u16string(u"t"), 10, std::u16string(u"arrow")));
    EXPECT_EQ(std::vector({style->GetRed(), style->GetGreen(), style->GetBlue(), style->GetAlpha()}),
              std::vector({1.0f, 0.5f, 0.25f, 0.75f}));

    style->Set(u"plain", 12, 100, u"", 5, u"", 0.0f, 0.0f, 0.0f, 1.0f, m_manager.GetFontLibrary());
    EXPECT_EQ(style->GetFont(), font) << "the font is made once";
    EXPECT_TRUE(style->GetBitmapFont()->HasLetter('B')) << "and loaded again at every definition";
    EXPECT_FALSE(style->GetBitmapFont()->HasLetter('A'));
    EXPECT_EQ(style->GetClickme(), u"");
}

} // namespace
} // namespace Vel
