#include "HeadlessHge.h"
#include "ScriptFile.h"
#include "TempFolder.h"
#include "app/TextCodec.h"
#include "app/UserFiles.h"
#include "data/Crypter.h"
#include "dialogue/DialogManager.h"
#include "resources/Animation.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "saves/GalleryManager.h"
#include "saves/SaveGames.h"
#include "saves/SlideGallery.h"
#include "saves/ThumbsGallery.h"
#include "scene/Poster.h"
#include "scene/SceneNode.h"
#include "scene/ScenesManager.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Vel {
namespace {

// What the statements store that the galleries keep to themselves; read through the base's protected members.
struct GalleryState : Gallery
{
    static const std::vector<std::u16string>& Conditions(const Gallery& g) { return g.*(&GalleryState::m_conditions); }
    static std::pair<float, float> Preview(const Gallery& g)
    {
        return {g.*(&GalleryState::m_previewWidth), g.*(&GalleryState::m_previewHeight)};
    }
    static std::pair<float, float> Frame(const Gallery& g)
    {
        return {g.*(&GalleryState::m_frameX), g.*(&GalleryState::m_frameY)};
    }
    static Textbox* CounterBox(const Gallery& g) { return g.*(&GalleryState::m_counter); }
    static Style* CounterStyle(const Gallery& g) { return g.*(&GalleryState::m_counterStyle); }
    static Style* LabelStyle(const Gallery& g) { return g.*(&GalleryState::m_labelStyle); }
    static const std::u16string& ChoiceMenu(const Gallery& g) { return g.*(&GalleryState::m_choiceMenu); }
    static Sprite* Empty(const Gallery& g) { return g.*(&GalleryState::m_emptyPicture); }
    static std::pair<float, float> EmptyAt(const Gallery& g)
    {
        return {g.*(&GalleryState::m_emptyX), g.*(&GalleryState::m_emptyY)};
    }
};

constexpr std::string_view kBadNumber = "bad lexical cast: source type value could not be interpreted as target";

class GalleryStatementsTest : public ::testing::Test
{
protected:
    ~GalleryStatementsTest() override { UserFiles::SetUserFolderOverride(""); }

    // The error's "Info" part, empty when the lines ran through; a fresh parser each time, as the first error ends a
    // parser's run.
    std::string Run(const std::vector<std::u16string>& lines)
    {
        m_parser.reset();
        m_parser = std::make_unique<ParseManager>();
        const std::u16string file = TextCodec::Utf8ToWide(m_folder.File(std::to_string(++m_files) + ".cvls"));
        Crypter writer;
        EXPECT_TRUE(writer.OpenWrite(file));
        for (const std::u16string& line : lines)
            EXPECT_TRUE(writer.WriteLine(line));
        EXPECT_TRUE(writer.CloseWrite());
        m_parser->Parse(file);
        return TestTools::ErrorInfo(m_parser->ErrorReport());
    }
    std::string Parse(std::initializer_list<std::u16string_view> lines)
    {
        return Run(std::vector<std::u16string>(lines.begin(), lines.end()));
    }
    // The lines inside a gallery block of a new name. The gallery, or an empty stand-in when they failed (m_error).
    Gallery& Fill(std::u16string_view begin, std::initializer_list<std::u16string_view> lines)
    {
        const std::u16string name = u"g" + TextCodec::Utf8ToWide(std::to_string(m_files + 1));
        std::vector<std::u16string> text{std::u16string(begin) + u"(" + name + u")"};
        text.insert(text.end(), lines.begin(), lines.end());
        text.emplace_back(u"end");
        m_error = Run(text);
        Gallery* gallery = m_galleries->Find(name);
        return m_error.empty() && gallery != nullptr ? *gallery : m_spare;
    }
    Gallery& Slides(std::initializer_list<std::u16string_view> lines) { return Checked(Fill(u"beginslide", lines)); }
    Gallery& Thumbs(std::initializer_list<std::u16string_view> lines) { return Checked(Fill(u"beginthumbs", lines)); }
    Gallery& Checked(Gallery& gallery)
    {
        EXPECT_EQ(m_error, "");
        return gallery;
    }

    TestTools::TempFolder m_folder;
    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    DialogManager m_dialogs;
    ScenesManager m_scenes;
    std::optional<GalleryManager> m_galleries{std::in_place};
    std::unique_ptr<ParseManager> m_parser;
    ThumbsGallery m_spare; // answers for a gallery that failed, so a failed expectation does not crash the test
    std::string m_error;
    int m_files = 0;
};

TEST_F(GalleryStatementsTest, BeginStatementsRegisterGalleriesAndTheFirstOfANameStays)
{
    EXPECT_EQ(Parse({u"beginslide(cg)", u"pic(one.png, sys_open)", u"end", u"beginthumbs(cg)",
                     u"pic(two.png, sys_open)", u"pic(three.png, sys_open)", u"end", u"beginthumbs(saves)", u"end"}),
              "");
    const Gallery* first = m_galleries->Find(u"cg");
    ASSERT_NE(dynamic_cast<const SlideGallery*>(first), nullptr);
    ASSERT_EQ(first->GetItemCount(), 1u);
    EXPECT_EQ(first->GetPictureFile(0), u"one.png");
    EXPECT_NE(dynamic_cast<const ThumbsGallery*>(m_galleries->Find(u"saves")), nullptr);
    EXPECT_TRUE(m_parser->Blocks().empty());

    m_galleries.reset();
    EXPECT_EQ(Parse({u"beginslide(cg)"}), "beginslide cannot be read before the game's managers exist");
    EXPECT_EQ(Parse({u"beginthumbs(cg)"}), "beginthumbs cannot be read before the game's managers exist");
}

TEST_F(GalleryStatementsTest, StatementsOutsideAGalleryBlockFail)
{
    const std::u16string_view keywords[] = {
        u"saveload_pics", u"choicemenu",  u"pic",       u"none",   u"counter", u"date",    u"preview",
        u"board",         u"nosavegames", u"gamesaved", u"bg",     u"border",  u"border2", u"next",
        u"next2",         u"prev",        u"prev2",     u"cancel", u"cancel2"};
    for (const std::u16string_view name : keywords) {
        const std::u16string statement = std::u16string(name) + u"(a)";
        const std::string keyword = TextCodec::WideToUtf8(name);
        EXPECT_EQ(Parse({statement}), keyword + " needs an open gallery block");
        EXPECT_EQ(Parse({u"beginscene(s)", statement, u"end"}).rfind(keyword + " needs an open gallery block (", 0),
                  0u);
        // A closed gallery is no longer on top.
        EXPECT_EQ(Parse({u"beginthumbs(t)", u"end", statement}), keyword + " needs an open gallery block");
    }
}

TEST_F(GalleryStatementsTest, ItemsKeepTheirConditionsAndTheLockedPictureStandsInForThem)
{
    Gallery& gallery =
        Thumbs({u"pic(cg01.png, seen_cg01)", u"pic(cg02.png, sys_open)", u"pic(cg03.png)", u"none(locked.png)"});
    ASSERT_EQ(gallery.GetItemCount(), 3u);
    EXPECT_EQ(gallery.GetPictureFile(0), u"cg01.png");
    EXPECT_EQ(gallery.GetPictureFile(2), u"cg03.png");
    EXPECT_EQ(GalleryState::Conditions(gallery), (std::vector<std::u16string>{u"seen_cg01", u"sys_open", u""}));
    for (std::size_t item = 0; item < 3; ++item) {
        EXPECT_EQ(gallery.GetLabel(item), u"");
        // Nothing is shown yet, so every item still shows the locked picture, set after the items were added.
        EXPECT_EQ(gallery.GetDisplayedPicture(item), m_resources.FindResource(u"locked.png"));
    }
    EXPECT_NE(m_resources.FindResource(u"locked.png"), nullptr);
}

TEST_F(GalleryStatementsTest, PartsGoToTheirSlotsAndTheBorderAlignIsTheFrameOffset)
{
    Resource* arrow = m_resources.GetSprite(u"arrow");
    const std::pair<std::u16string_view, Gallery::Slot> parts[] = {
        {u"bg", Gallery::Background},   {u"border2", Gallery::HoverFrame},  {u"next", Gallery::Next},
        {u"next2", Gallery::NextHover}, {u"prev", Gallery::Previous},       {u"prev2", Gallery::PreviousHover},
        {u"cancel", Gallery::Cancel},   {u"cancel2", Gallery::CancelHover}, {u"border", Gallery::Frame},
    };
    for (const auto& [keyword, slot] : parts) {
        Gallery& gallery = Slides({std::u16string(keyword) + u"(arrow, align=700:550.5)"});
        const SceneNode* node = gallery.GetElement(slot);
        ASSERT_NE(node, nullptr) << TextCodec::WideToUtf8(keyword);
        EXPECT_EQ(node->GetResource(), arrow);
        for (std::int32_t other = 0; other < Gallery::SlotCount; ++other)
            EXPECT_EQ(gallery.GetElement(other) != nullptr, other == slot) << TextCodec::WideToUtf8(keyword);
        // The frame is drawn at every item, so its align is an offset and not the node's place.
        const bool frame = slot == Gallery::Frame;
        EXPECT_EQ(std::make_pair(node->GetX(), node->GetY()),
                  frame ? std::make_pair(0.0f, 0.0f) : std::make_pair(700.0f, 550.5f));
        EXPECT_EQ(GalleryState::Frame(gallery), frame ? std::make_pair(700.0f, 550.5f) : std::make_pair(0.0f, 0.0f));
    }

    // Animations are pictures too; no align leaves the node at the origin and a border without align keeps the
    // offset; a later part replaces the earlier one; an unknown picture draws nothing and is warned about.
    ASSERT_NE(m_resources.GetAnimation(u"glow"), nullptr);
    Gallery& gallery = Thumbs({u"bg(glow)", u"border(arrow, align=3:5)", u"border(missing)"});
    ASSERT_NE(gallery.GetElement(Gallery::Background), nullptr);
    EXPECT_EQ(gallery.GetElement(Gallery::Background)->GetResource(), m_resources.FindResource(u"glow"));
    EXPECT_EQ(gallery.GetElement(Gallery::Background)->GetX(), 0.0f);
    EXPECT_EQ(GalleryState::Frame(gallery), std::make_pair(3.0f, 5.0f));
    ASSERT_NE(gallery.GetElement(Gallery::Frame), nullptr);
    EXPECT_EQ(gallery.GetElement(Gallery::Frame)->GetResource(), nullptr);
    ASSERT_EQ(m_parser->Warnings().size(), 1u);
    EXPECT_NE(m_parser->Warnings()[0].find("'missing'"), std::string::npos) << m_parser->Warnings()[0];
}

TEST_F(GalleryStatementsTest, SettingsReachTheGallery)
{
    Gallery& slides = Slides({u"preview(size=320:240, y=180)", u"counter(textbox=pages, style=small)",
                              u"date(style=tiny)", u"choicemenu(savemenu)", u"preview(y=200)"});
    EXPECT_EQ(GalleryState::Preview(slides), std::make_pair(320.0f, 240.0f)); // a preview without size keeps it
    EXPECT_EQ(dynamic_cast<SlideGallery&>(slides).GetPictureRow(), 200.0f);
    EXPECT_EQ(GalleryState::CounterBox(slides), m_dialogs.FindTextbox(u"pages"));
    EXPECT_NE(GalleryState::CounterBox(slides), nullptr);
    EXPECT_EQ(GalleryState::CounterStyle(slides), m_resources.GetStyle(u"small"));
    EXPECT_EQ(GalleryState::LabelStyle(slides), m_resources.GetStyle(u"tiny"));
    EXPECT_EQ(GalleryState::ChoiceMenu(slides), u"savemenu");
    EXPECT_FALSE(slides.IsSaveLoadMode());

    // The picture row is a slide gallery's; a thumbnail gallery takes the size and ignores the row.
    Gallery& thumbs = Thumbs({u"preview(size=64:48, y=180)", u"counter(style=small)"});
    EXPECT_EQ(GalleryState::Preview(thumbs), std::make_pair(64.0f, 48.0f));
    EXPECT_EQ(GalleryState::CounterBox(thumbs), nullptr); // no nameless text box is made
    EXPECT_EQ(m_dialogs.FindTextbox(u""), nullptr);
    EXPECT_EQ(GalleryState::CounterStyle(thumbs), m_resources.GetStyle(u"small"));
}

TEST_F(GalleryStatementsTest, TheBoardLaysOutTheGridAndKeepsCountsThatAreNotWritten)
{
    // Cells of 200 x 100 on the board, each preview of 100 x 50 centred in its cell.
    Gallery& gallery =
        Thumbs({u"preview(size=100:50)", u"board(align=100:50, size=400:200, rows=2, cols=2)", u"pic(a, sys_open)",
                u"pic(b, sys_open)", u"pic(c, sys_open)", u"pic(d, sys_open)", u"pic(e, sys_open)"});
    auto& thumbs = dynamic_cast<ThumbsGallery&>(gallery);
    EXPECT_EQ(thumbs.GetRows(), 2);
    EXPECT_EQ(thumbs.GetColumns(), 2);
    EXPECT_EQ(thumbs.GetPageCount(), 2);
    ASSERT_EQ(thumbs.GetCells().size(), 5u);
    EXPECT_EQ(thumbs.GetCells()[0].x1, 150.0f);
    EXPECT_EQ(thumbs.GetCells()[0].y1, 75.0f);
    EXPECT_EQ(thumbs.GetCells()[3].x1, 350.0f);
    EXPECT_EQ(thumbs.GetCells()[3].y1, 175.0f);
    EXPECT_EQ(thumbs.GetCells()[3].x2, 450.0f);

    // Rows and columns only when written; absent numbers of the rectangle are 0.
    auto& moved = dynamic_cast<ThumbsGallery&>(
        Thumbs({u"board(rows=3, cols=4)", u"board(size=40:30)", u"pic(a, sys_open)", u"pic(b, sys_open)"}));
    EXPECT_EQ(moved.GetRows(), 3);
    EXPECT_EQ(moved.GetColumns(), 4);
    ASSERT_EQ(moved.GetCells().size(), 2u);
    EXPECT_EQ(moved.GetCells()[1].x1, 15.0f); // cells 10 x 10 from (0, 0)
    EXPECT_EQ(moved.GetCells()[1].y1, 5.0f);

    Fill(u"beginslide", {u"board(rows=1, cols=1)"});
    EXPECT_EQ(m_error, "board needs a thumbnail gallery");
}

TEST_F(GalleryStatementsTest, MalformedNumbersFailTheStatement)
{
    const std::pair<std::u16string_view, std::u16string_view> cases[] = {
        {u"beginslide", u"preview(size=a:b)"},        {u"beginslide", u"preview(size=100)"},
        {u"beginslide", u"preview(y=top)"},           {u"beginthumbs", u"preview(size=1:2, y=1 0)"},
        {u"beginthumbs", u"board(align=1:x)"},        {u"beginthumbs", u"board(size=1:)"},
        {u"beginthumbs", u"board(rows=2.5)"},         {u"beginthumbs", u"board(cols=1e2)"},
        {u"beginthumbs", u"gamesaved(p, align=x:1)"}, {u"beginthumbs", u"next(a, align=1: 2)"},
        {u"beginthumbs", u"border(a, align=q:1)"},    {u"beginslide", u"bg(a, align=5)"},
    };
    for (const auto& [begin, statement] : cases) {
        Fill(begin, {statement});
        EXPECT_EQ(m_error, kBadNumber) << TextCodec::WideToUtf8(statement);
    }
}

TEST_F(GalleryStatementsTest, NoSaveGamesReadsItsPositionLeniently)
{
    const std::pair<std::u16string_view, std::pair<float, float>> cases[] = {
        {u"nosavegames(empty.png, align=10:20)", {10.0f, 20.0f}},
        {u"nosavegames(empty.png, align=5: 7)", {5.0f, 7.0f}}, // a leading blank, which a strict number refuses
        {u"nosavegames(empty.png, align=12:x)", {12.0f, 0.0f}},
        {u"nosavegames(empty.png, align=2.5:-7)", {0.0f, -7.0f}},
        {u"nosavegames(empty.png, align=left:top)", {0.0f, 0.0f}},
        {u"nosavegames(empty.png)", {0.0f, 0.0f}},
    };
    for (const auto& [statement, position] : cases) {
        Gallery& gallery = Thumbs({statement});
        EXPECT_EQ(GalleryState::EmptyAt(gallery), position) << TextCodec::WideToUtf8(statement);
        EXPECT_EQ(GalleryState::Empty(gallery), m_resources.FindResource(u"empty.png"));
        EXPECT_NE(GalleryState::Empty(gallery), nullptr);
    }
}

TEST_F(GalleryStatementsTest, GameSavedMakesATwoSecondNotice)
{
    Gallery& gallery = Thumbs({u"gamesaved(saved.png, align=300:20)"});
    Poster* notice = gallery.GetNotice();
    ASSERT_NE(notice, nullptr);
    // Fading in over the first quarter of two seconds.
    EXPECT_FALSE(notice->Update(0.25f));
    EXPECT_FLOAT_EQ(notice->GetAlpha(), 0.5f);
    EXPECT_FALSE(notice->Update(1.7f));
    EXPECT_TRUE(notice->Update(0.05f));

    EXPECT_NE(Thumbs({u"gamesaved(saved.png)"}).GetNotice(), nullptr);
}

TEST_F(GalleryStatementsTest, SaveLoadPicsListsTheSavesThatHaveThumbnails)
{
    // Without the saves manager only the mode changes.
    Gallery& plain = Thumbs({u"pic(a.png, sys_open)", u"saveload_pics"});
    EXPECT_TRUE(plain.IsSaveLoadMode());
    EXPECT_EQ(plain.GetItemCount(), 1u);
    EXPECT_FALSE(Thumbs({u"pic(a.png, sys_open)"}).IsSaveLoadMode());

    UserFiles::SetUserFolderOverride(m_folder.Path().string() + "/user/");
    const std::string saves = TextCodec::WideToUtf8(UserFiles::GetSaveFolder());
    m_folder.Write("user/save/00000001.sav", "x");
    m_folder.Write("user/save/00000001.bmp", "x");
    m_folder.Write("user/save/00000002.sav", "x"); // no thumbnail: not listed
    {
        SaveGames savesManager;
        Gallery& gallery = Slides({u"pic(a.png, sys_open)", u"saveload_pics"});
        EXPECT_TRUE(gallery.IsSaveLoadMode());
        ASSERT_EQ(gallery.GetItemCount(), 1u);
        EXPECT_EQ(TextCodec::WideToUtf8(gallery.GetPictureFile(0)), saves + "00000001.bmp");
        EXPECT_NE(gallery.GetLabel(0), u"");
    }
}

} // namespace
} // namespace Vel
