#include "script/ResourceStatements.h"

#include "HeadlessHge.h"
#include "ScriptRun.h"
#include "resources/Animation.h"
#include "resources/ResourceManager.h"
#include "resources/Sprite.h"
#include "script/ParseManager.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>

namespace Vel {
namespace {

// Runs one compiled script with a new parser each time; the test statement "scene" opens a command-container
// block and "sprite(name)" a resource block holding a sprite, so "frame" can be tried in the wrong blocks.
class ResourceStatementsTest : public ::testing::Test
{
protected:
    ResourceStatementsTest()
    {
        m_script.setup = [this](ParseManager& parser) {
            parser.AddHandler(u"scene",
                              [this, &parser](CommandLine&) { parser.PushBlock(BlockKind::CommandContainer, this); });
            parser.AddHandler(u"sprite", [this, &parser](CommandLine& line) {
                parser.PushBlock(BlockKind::Resource, m_resources->GetSprite(line.GetArgument(0)));
            });
        };
    }
    std::string Run(std::initializer_list<std::u16string_view> lines) { return m_script.Run(lines); }

    TestTools::HeadlessHge m_hge;
    std::optional<ResourceManager> m_resources{std::in_place};
    TestTools::ScriptRun m_script;
};

TEST_F(ResourceStatementsTest, ObjectAndAnimationBlocksDefinePictures)
{
    EXPECT_EQ(Run({u"object(bg, file=pictures/bg.png)", u"object(bg)", u"beginanim(walk, cycle=yes)",
                   u"frame(w1.png, 100)", u"frame(w2.png, 250, align=-3:4.5)", u"end", u"begin anim(walk)",
                   u"frame(w3.png, 0)", u"end", u"beginanim(once, cycle=Yes)", u"end", u"object(later, file=l.png)"}),
              "");
    EXPECT_EQ(m_resources->GetSprite(u"bg")->GetFile(), u"pictures/bg.png") << "no file keeps the one set before";
    EXPECT_EQ(m_script.parser->CurrentResource(), u"later");
    EXPECT_TRUE(m_script.parser->Blocks().empty());
    const Animation* walk = m_resources->GetAnimation(u"walk");
    ASSERT_EQ(walk->GetFrameCount(), 3u) << "a second block under the name adds to the same animation";
    EXPECT_TRUE(walk->IsCycling()) << "a later block without the attribute keeps the flag";
    const auto timing = [walk](std::size_t i) {
        return std::vector{walk->GetFrame(i).GetDuration(), walk->GetFrame(i).GetOffsetX(),
                           walk->GetFrame(i).GetOffsetY()};
    };
    EXPECT_EQ(timing(0), (std::vector{0.1f, 0.0f, 0.0f}));
    EXPECT_EQ(timing(1), (std::vector{0.25f, -3.0f, 4.5f}));
    EXPECT_EQ(walk->GetFrame(2).GetFile(), u"w3.png");
    EXPECT_FALSE(m_resources->GetAnimation(u"once")->IsCycling()) << "only the exact \"yes\" sets the flag";
}

TEST_F(ResourceStatementsTest, FrameNeedsAnOpenAnimationBlockAndStrictNumbers)
{
    EXPECT_EQ(Run({u"beginanim(a)", u"end", u"frame(a.png, 100)"}), "frame needs an open animation or character block");
    EXPECT_EQ(Run({u"beginanim(a)", u"scene", u"frame(a.png, 100)"}),
              "frame needs an open animation or character block (the innermost open block is a scene, interface or "
              "menu block)");
    EXPECT_EQ(Run({u"sprite(s)", u"frame(a.png, 100)"}),
              "frame needs an open animation block (the innermost open block is a sprite block)");
    for (const char16_t* frame : {u"frame(a.png)", u"frame(a.png, 1 00)", u"frame(a.png, 10ms)",
                                  u"frame(a.png, 100, align=10)", u"frame(a.png, 100, align=x:1)"}) {
        EXPECT_EQ(Run({u"beginanim(a)", frame}), TestTools::kBadNumber) << TextCodec::WideToUtf8(frame);
    }
    EXPECT_EQ(m_resources->GetAnimation(u"a")->GetFrameCount(), 0u);

    m_resources.reset();
    EXPECT_EQ(Run({u"object(bg, file=bg.png)"}), "object cannot be read before the game's managers exist");
}

} // namespace
} // namespace Vel
