#include "ProcessRecordGuard.h"
#include "HeadlessHge.h"
#include "ScriptRun.h"
#include "core/TextCodec.h"
#include "core/UserFiles.h"
#include "data/Crypter.h"
#include "dialogue/DialogManager.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "saves/GalleryManager.h"
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
    static std::pair<float, float> Frame(const Gallery& g)
    {
        return {g.*(&GalleryState::m_frameX), g.*(&GalleryState::m_frameY)};
    }
    static std::pair<float, float> EmptyAt(const Gallery& g)
    {
        return {g.*(&GalleryState::m_emptyX), g.*(&GalleryState::m_emptyY)};
    }
};

using TestTools::kBadNumber;

class GalleryStatementsTest : public ::testing::Test
{
protected:
    std::string Run(std::initializer_list<std::u16string_view> lines) { return m_script.Run(lines); }
    // The lines inside a gallery block of a new name. The gallery, or an empty stand-in when they failed (m_error).
    Gallery& Fill(std::u16string_view begin, std::initializer_list<std::u16string_view> lines)
    {
        const std::u16string name = m_script.NextScene();
        std::vector<std::u16string> text{std::u16string(begin) + u"(" + name + u")"};
        text.insert(text.end(), lines.begin(), lines.end());
        text.emplace_back(u"end");
        m_error = m_script.Run(text);
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

    TestTools::ProcessRecordGuard m_records;
    TestTools::HeadlessHge m_hge;
    ResourceManager m_resources;
    DialogManager m_dialogs;
    ScenesManager m_scenes;
    std::optional<GalleryManager> m_galleries{std::in_place};
    ThumbsGallery m_spare; // answers for a gallery that failed, so a failed expectation does not crash the test
    std::string m_error;
    TestTools::ScriptRun m_script;
};

TEST_F(GalleryStatementsTest, GalleriesAreMadeOnceAndTheirStatementsNeedAnOpenBlock)
{
    EXPECT_EQ(Run({u"beginslide(cg)", u"pic(one.png, sys_open)", u"end", u"beginthumbs(cg)", u"pic(two.png, sys_open)",
                   u"end"}),
              "");
    const Gallery* first = m_galleries->Find(u"cg");
    ASSERT_NE(dynamic_cast<const SlideGallery*>(first), nullptr);
    EXPECT_EQ(first->GetItemCount(), 1u);

    for (const std::u16string_view name :
         {u"saveload_pics", u"choicemenu", u"pic", u"none", u"counter", u"date", u"preview", u"board", u"nosavegames",
          u"gamesaved", u"bg", u"border", u"border2", u"next", u"next2", u"prev", u"prev2", u"cancel", u"cancel2"}) {
        const std::u16string statement = std::u16string(name) + u"(a)";
        const std::string expected = TextCodec::WideToUtf8(name) + " needs an open gallery block";
        EXPECT_EQ(Run({statement}), expected);
        EXPECT_EQ(Run({u"beginscene(s)", statement, u"end"}).rfind(expected + " (", 0), 0u);
        EXPECT_EQ(Run({u"beginthumbs(t)", u"end", statement}), expected) << "a closed gallery is no longer on top";
    }
    m_galleries.reset();
    EXPECT_EQ(Run({u"beginslide(cg)"}), "beginslide cannot be read before the game's managers exist");
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
        const auto place = std::make_pair(700.0f, 550.5f);
        const auto origin = std::make_pair(0.0f, 0.0f);
        EXPECT_EQ(std::make_pair(node->GetX(), node->GetY()), slot == Gallery::Frame ? origin : place);
        EXPECT_EQ(GalleryState::Frame(gallery), slot == Gallery::Frame ? place : origin);
    }
    // A border without align keeps the offset; an unknown picture draws nothing and is warned about.
    Gallery& gallery = Thumbs({u"border(arrow, align=3:5)", u"border(missing)"});
    EXPECT_EQ(GalleryState::Frame(gallery), std::make_pair(3.0f, 5.0f));
    ASSERT_NE(gallery.GetElement(Gallery::Frame), nullptr);
    EXPECT_EQ(gallery.GetElement(Gallery::Frame)->GetResource(), nullptr);
    EXPECT_NE(m_script.parser->Warnings().at(0).find("'missing'"), std::string::npos);
}

TEST_F(GalleryStatementsTest, BoardNeedsAThumbnailGalleryAndOnlyNoSaveGamesReadsNumbersLeniently)
{
    Fill(u"beginslide", {u"board(rows=1, cols=1)"});
    EXPECT_EQ(m_error, "board needs a thumbnail gallery");

    const std::pair<std::u16string_view, std::u16string_view> malformed[] = {{u"beginslide", u"preview(size=100)"},
                                                                             {u"beginthumbs", u"board(rows=2.5)"},
                                                                             {u"beginthumbs", u"next(a, align=1: 2)"},
                                                                             {u"beginthumbs", u"border(a, align=q:1)"}};
    for (const auto& [begin, statement] : malformed) {
        Fill(begin, {statement});
        EXPECT_EQ(m_error.substr(0, kBadNumber.size()), kBadNumber) << TextCodec::WideToUtf8(statement);
    }
    const std::pair<std::u16string_view, std::pair<float, float>> lenient[] = {
        {u"nosavegames(empty.png, align=5: 7)", {5.0f, 7.0f}}, // a leading blank, which a strict number refuses
        {u"nosavegames(empty.png, align=12:x)", {12.0f, 0.0f}},
        {u"nosavegames(empty.png, align=2.5:-7)", {0.0f, -7.0f}},
    };
    for (const auto& [statement, position] : lenient)
        EXPECT_EQ(GalleryState::EmptyAt(Thumbs({statement})), position) << TextCodec::WideToUtf8(statement);
}

} // namespace
} // namespace Vel
