#include "SceneTestTools.h"
#include "scene/ClickGate.h"
#include "scene/MoveAnimator.h"
#include "scene/OpacityAnimator.h"
#include "scene/Poster.h"
#include "scene/ZoomAnimator.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

namespace Vel {
namespace {

// Adds the animator to the node and counts its finish reports.
template <typename T> T& Attach(AnimationObject& node, std::unique_ptr<T> animator, int& finished)
{
    T& added = *animator;
    added.SetFinishCallback(Callback<void()>([&finished] { ++finished; }));
    node.AddAnimator(std::move(animator));
    return added;
}

// Linear steps are the node commands' test; frame times that do not add up to the duration in floats still end on
// the target, in the overshooting frame, and report once.
TEST(AnimatorTest, MoveAndFadeEndExactlyOnTheirTargetsAndReportOnce)
{
    SceneNode node;
    int finished = 0;
    Attach(node, std::make_unique<MoveAnimator>(node, 0.0f, 0.0f, 100.0f, 50.0f, 1.0f), finished);
    Attach(node, std::make_unique<OpacityAnimator>(node, 1.0f, 0.0f, 1.0f), finished);
    for (int frame = 0; frame < 59; ++frame)
        node.Update(1.0f / 60.0f);
    EXPECT_EQ(finished, 0);
    node.Update(0.25f);
    EXPECT_EQ(std::tuple(node.GetX(), node.GetY(), node.GetOpacity()), std::tuple(100.0f, 50.0f, 0.0f));
    node.Update(0.25f);
    EXPECT_EQ(finished, 2);
}

TEST(AnimatorTest, ZoomIsRelativeToTheCapturedZoomAndCanKeepTheCentre)
{
    TestTools::TestPicture picture(100.0f, 40.0f);
    SceneNode node;
    node.SetResource(&picture);
    node.MoveTo(10.0f, 20.0f);
    int finished = 0;
    Attach(node, std::make_unique<ZoomAnimator>(node, 1.0f, 2.0f, 1.0f, ZoomAnimator::Anchor::TopLeft), finished);
    node.SetZoom(0.5f);
    node.Update(1.0f);
    EXPECT_EQ(node.GetZoom(), 1.0f) << "factor 2 times the zoom captured at the first update";
    EXPECT_EQ(node.GetX(), 10.0f);

    Attach(node, std::make_unique<ZoomAnimator>(node, 1.0f, 2.0f, 2.0f, ZoomAnimator::Anchor::Centre), finished);
    node.Update(1.0f);
    EXPECT_EQ(node.GetX(), -15.0f) << "zoom 1.5";
    node.Update(1.0f);
    EXPECT_EQ(std::pair(node.GetX(), node.GetY()), std::pair(-40.0f, 0.0f));
    Attach(node, std::make_unique<ZoomAnimator>(node, 1.0f, 0.5f, 0.0f, ZoomAnimator::Anchor::Centre), finished);
    node.Update(0.1f);
    EXPECT_EQ(std::pair(node.GetZoom(), node.GetX()), std::pair(0.5f, -40.0f)) << "the factor itself, not moved";
    EXPECT_EQ(finished, 3);
}

TEST(PosterTest, FadesInOverAQuarterHoldsAndFadesOutOverTheLastQuarter)
{
    Poster poster(u"saved", 0.0f, 0.0f, 4.0f);
    for (const float alpha : {0.5f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.5f}) {
        EXPECT_FALSE(poster.Update(0.5f));
        EXPECT_EQ(poster.GetAlpha(), alpha);
    }
    EXPECT_TRUE(poster.Update(0.5f));
    EXPECT_EQ(poster.GetAlpha(), 0.0f);

    Poster empty(u"saved", 0.0f, 0.0f, 0.0f);
    EXPECT_TRUE(empty.Update(0.016f));
    EXPECT_EQ(empty.GetAlpha(), 0.0f) << "no division by a zero fade length";
}

TEST(ClickGateTest, AnAcceptedClickOrACloseShutsTheGateForOneDelayKeepingTheRemainder)
{
    ClickGate gate;
    EXPECT_TRUE(gate.Accept(true));
    EXPECT_TRUE(gate.Accept(true)) << "still open until the frame's gate step";
    gate.Advance(0.2f);
    EXPECT_FALSE(gate.Accept(true));
    gate.Advance(0.15f);
    EXPECT_TRUE(gate.Accept(true)) << "0.35 s since the click";
    gate.Advance(0.2f);
    EXPECT_FALSE(gate.IsReady()) << "the 0.05 s left over counts towards the next delay";
    gate.Advance(0.05f);
    EXPECT_TRUE(gate.IsReady());

    // A command that finishes on the click closes the gate in the same frame as the click was accepted: shut for
    // one delay only.
    EXPECT_TRUE(gate.Accept(true));
    gate.Close();
    for (int frame = 0; frame < 17; ++frame)
        gate.Advance(1.0f / 60.0f);
    EXPECT_FALSE(gate.IsReady()) << "an open gate nobody clicked would stay open";
    gate.Advance(2.0f / 60.0f);
    EXPECT_TRUE(gate.IsReady());
}

} // namespace
} // namespace Vel
