// The statements of the gallery blocks: galleries made once, parts in their slots, and the refusals of
// gallery_statements.txt.
#include "HeadlessHge.h"
#include "ProcessRecordGuard.h"
#include "ScriptRun.h"
#include "app/GameSystems.h"
#include "core/TextCodec.h"
#include "resources/Resource.h"
#include "saves/SlideGallery.h"
#include "scene/SceneNode.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <string>
#include <tuple>

namespace Vel {
namespace {

// A number as the tables write it: the shortest text that reads back the same.
std::string Number(float value)
{
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// What the statements store that the galleries keep to themselves, read through the base's protected members: each
// part by its keyword, picture and place, the frame's offset and the place of the empty-list picture when not 0:0.
struct GalleryState : Gallery
{
    static std::string Describe(const Gallery& g)
    {
        static constexpr const char* kKeywords[] = {"bg",   "border", "border2", "next",   "next2",
                                                    "prev", "prev2",  "cancel",  "cancel2"};
        std::string text;
        for (std::int32_t slot = 0; slot < Gallery::SlotCount; ++slot) {
            if (const SceneNode* node = g.GetElement(slot))
                text += std::string(text.empty() ? "" : ", ") + kKeywords[slot] + " " +
                        (node->GetResource() ? TextCodec::WideToUtf8(node->GetResource()->GetName()) : "nothing") +
                        " at " + Number(node->GetX()) + ":" + Number(node->GetY());
        }
        for (const auto& [what, x, y] :
             {std::tuple{"frame offset ", g.*(&GalleryState::m_frameX), g.*(&GalleryState::m_frameY)},
              {"empty at ", g.*(&GalleryState::m_emptyX), g.*(&GalleryState::m_emptyY)}})
            if (x != 0.0f || y != 0.0f)
                text += (text.empty() ? "" : ", ") + std::string(what) + Number(x) + ":" + Number(y);
        return text;
    }
};

class GalleryStatementsTest : public ::testing::Test
{
protected:
    TestTools::ProcessRecordGuard m_records;
    TestTools::HeadlessHge m_hge;
    GameSystems m_systems;
    TestTools::ScriptRun m_script;
};

TEST_F(GalleryStatementsTest, GalleriesAreMadeOnceAndTheirStatementsNeedAnOpenBlockAndGoodNumbers)
{
    EXPECT_EQ(m_script.Run({u"beginslide(cg)", u"pic(one.png, sys_open)", u"end", u"beginthumbs(cg)",
                            u"pic(two.png, sys_open)", u"end"}),
              "");
    const Gallery* first = m_systems.galleries.Find(u"cg");
    ASSERT_NE(dynamic_cast<const SlideGallery*>(first), nullptr);
    EXPECT_EQ(first->GetItemCount(), 1u);

    m_script.CheckTable("gallery_statements.txt");
}

// The rows of gallery_parts.txt give the parts of the gallery "@" and the warnings of its script.
TEST_F(GalleryStatementsTest, PartsGoToTheirSlotsAndTheBorderAlignIsTheFrameOffset)
{
    (void)m_systems.resources.GetSprite(u"arrow");
    for (const TestTools::Row& row : TestTools::ReadTable("gallery_parts.txt")) {
        const std::u16string name = m_script.NextScene();
        std::string outcome = m_script.Outcome(row.lines, TestTools::Description);
        if (const Gallery* gallery = m_systems.galleries.Find(name))
            outcome += GalleryState::Describe(*gallery);
        for (const std::string& warning : m_script.parser->Warnings())
            outcome += "; warning at line " + warning.substr(warning.find(':') + 1);
        EXPECT_EQ(outcome, row.expected) << row.where;
    }
}

} // namespace
} // namespace Vel
