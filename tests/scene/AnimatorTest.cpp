#include "SceneTestTools.h"
#include "scene/ClickGate.h"
#include "scene/MoveAnimator.h"
#include "scene/OpacityAnimator.h"
#include "scene/Poster.h"
#include "scene/SleepAnimator.h"
#include "scene/ZoomAnimator.h"

#include <gtest/gtest.h>

#include <memory>

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

TEST(AnimatorTest, MoveAndFadeStepLinearlyAndEndExactlyOnTheirTargets)
{
    SceneNode node;
    int finished = 0;
    Attach(node, std::make_unique<MoveAnimator>(node, 0.0f, 0.0f, 100.0f, 50.0f, 2.0f), finished);
    for (const auto& [x, y] : {std::pair{25.0f, 12.5f}, {50.0f, 25.0f}, {75.0f, 37.5f}, {100.0f, 50.0f}}) {
        EXPECT_EQ(finished, 0);
        node.Update(0.5f);
        EXPECT_EQ(node.GetX(), x);
        EXPECT_EQ(node.GetY(), y);
    }
    node.Update(0.5f);
    EXPECT_EQ(finished, 1) << "finished once, and kept in the list inactive";
    EXPECT_EQ(node.GetAnimatorCount(), 1u);

    // Frame times that do not add up to the duration in floats still end on the target, in the overshooting frame.
    Attach(node, std::make_unique<OpacityAnimator>(node, 1.0f, 0.0f, 1.0f), finished);
    for (int frame = 0; frame < 59; ++frame)
        node.Update(1.0f / 60.0f);
    EXPECT_EQ(finished, 1);
    node.Update(0.25f);
    EXPECT_EQ(node.GetOpacity(), 0.0f);
    EXPECT_EQ(finished, 2);
}

TEST(AnimatorTest, ZoomIsRelativeToTheCapturedZoomAndCanKeepTheCentre)
{
    TestTools::TestPicture picture(100.0f, 40.0f);
    SceneNode node;
    node.SetResource(&picture);
    int finished = 0;
    Attach(node, std::make_unique<ZoomAnimator>(node, 1.0f, 2.0f, 1.0f, ZoomAnimator::Anchor::TopLeft), finished);
    node.SetZoom(0.5f);
    node.Update(1.0f);
    EXPECT_EQ(node.GetZoom(), 1.0f) << "factor 2 times the zoom captured at the first update";

    Attach(node, std::make_unique<ZoomAnimator>(node, 1.0f, 2.0f, 0.0f, ZoomAnimator::Anchor::Centre), finished);
    node.Update(0.1f);
    EXPECT_EQ(node.GetZoom(), 2.0f) << "a zero duration sets the factor itself";
    EXPECT_EQ(node.GetX(), 0.0f);

    SceneNode centred;
    centred.SetResource(&picture);
    centred.MoveTo(10.0f, 20.0f);
    Attach(centred, std::make_unique<ZoomAnimator>(centred, 1.0f, 2.0f, 2.0f, ZoomAnimator::Anchor::Centre), finished);
    centred.Update(1.0f);
    EXPECT_EQ(centred.GetX(), -15.0f) << "zoom 1.5";
    centred.Update(1.0f);
    EXPECT_EQ(centred.GetX(), -40.0f);
    EXPECT_EQ(centred.GetY(), 0.0f);
    EXPECT_EQ(finished, 3);
}

TEST(AnimatorTest, SleepsEndByTimeOrForPausesOneFrameAfterAClickAnywhere)
{
    Scene scene;
    SceneNode* carrier = scene.GetDummyNode();
    int timed = 0;
    int paused = 0;
    Attach(*carrier, std::make_unique<SleepAnimator>(*carrier, 0.5f, SleepAnimator::Skip::Never), timed);
    Attach(*carrier, std::make_unique<SleepAnimator>(*carrier, -1.0f, SleepAnimator::Skip::OnClick), paused);
    scene.Update(0.25f, TestTools::At(kUnset, kUnset, true));
    EXPECT_EQ(timed + paused, 0) << "clicks do not shorten a timed sleep; the pause sees the click after updating";
    scene.Update(0.25f, TestTools::kNowhere);
    EXPECT_EQ(timed, 1);
    EXPECT_EQ(paused, 1) << "ends at the next update although the click hit nothing";
    scene.Update(10.0f, TestTools::kNowhere);
    EXPECT_EQ(timed + paused, 2);
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
    for (int frame = 0; frame < 17; ++frame) {
        gate.Advance(1.0f / 60.0f);
        EXPECT_FALSE(gate.IsReady()) << frame;
    }
    gate.Advance(2.0f / 60.0f);
    EXPECT_TRUE(gate.IsReady());
    gate.Advance(1.0f / 60.0f);
    EXPECT_TRUE(gate.IsReady()) << "an open gate nobody clicked stays open";
}

} // namespace
} // namespace Vel
