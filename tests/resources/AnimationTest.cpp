#include "resources/Animation.h"
#include "resources/Sprite.h"

#include "HeadlessHge.h"

#include <gtest/gtest.h>

#include <vector>

namespace Vel {
namespace {

// Frame durations are powers of two, so sums of steps compare exactly.
Animation& WithFrames(Animation& animation, int count)
{
    for (int i = 0; i < count; ++i)
        animation.AddFrame(u"f.png", 0.25f, 0.0f, 0.0f);
    return animation;
}

Callback<void()> Count(int& calls)
{
    return Callback<void()>([&calls] { ++calls; });
}

class AnimationTest : public ::testing::Test
{
protected:
    TestTools::HeadlessHge m_hge; // the frames' quads take a reference on the interface
};

TEST_F(AnimationTest, NonCyclingAnimationsFinishOnReachingTheirLastFrame)
{
    Animation one, three, cycling, empty;
    int calls[4] = {};
    WithFrames(one, 1).SetFinishHandler(Count(calls[0]));
    WithFrames(three, 3).SetFinishHandler(Count(calls[1]));
    WithFrames(cycling, 2).SetCycle(true);
    cycling.SetFinishHandler(Count(calls[2]));
    empty.SetFinishHandler(Count(calls[3])); // a name the script never defined must not hold its waiters
    std::vector<int> shown;
    for (float step : {0.125f, 0.125f, 0.25f, 8.0f, 0.25f}) {
        for (Animation* animation : {&one, &three, &cycling, &empty})
            animation->Update(step);
        shown.push_back(three.GetCurrentFrame() * 10 + cycling.GetCurrentFrame());
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 11, 20, 21, 20})) << "at most one frame per update; cycling wraps";
    EXPECT_EQ(std::vector(calls, calls + 4), (std::vector{1, 1, 0, 1}));
    EXPECT_TRUE(three.IsFinished());

    // A new registration on a played-out animation is called at the next update.
    three.SetFinishHandler(Count(calls[1]));
    EXPECT_FALSE(three.IsFinished());
    three.Update(0.0f);
    EXPECT_EQ(calls[1], 2);

    // Frames never drawn have no size: measuring an animation does not load.
    EXPECT_EQ(three.GetWidth(), 0.0f);
    EXPECT_EQ(empty.GetHeight(), 0.0f);
    empty.Render(0.0f, 0.0f, 1.0f, 1.0f);
}

TEST_F(AnimationTest, TimeLeftOverCarriesOnAndTwoNodesAdvanceTheSharedInstanceTwice)
{
    Animation animation;
    WithFrames(animation, 4).Update(5.0f);
    EXPECT_EQ(animation.GetCurrentFrame(), 1);
    animation.Update(0.0f);
    EXPECT_EQ(animation.GetCurrentFrame(), 2);

    Animation shared;
    WithFrames(shared, 4);
    for (int node = 0; node < 2; ++node)
        shared.Update(0.25f);
    EXPECT_EQ(shared.GetCurrentFrame(), 2);
}

TEST_F(AnimationTest, EveryRegistrationIsCalledOnceAndHandlersMayChangeTheList)
{
    Animation animation;
    WithFrames(animation, 2);
    int first = 0, second = 0, removed = 0, victim = 0, later = 0;
    EXPECT_NE(animation.SetFinishHandler(Count(first)), 0u);
    animation.SetFinishHandler(Count(second));
    animation.RemoveFinishHandler(animation.SetFinishHandler(Count(removed)));
    EXPECT_EQ(animation.SetFinishHandler(Callback<void()>()), 0u) << "an empty handler is not kept";
    EXPECT_EQ(animation.WaitingHandlers(), 2u);
    animation.Update(0.25f);
    animation.Update(0.25f);
    EXPECT_EQ(std::vector({first, second, removed}), std::vector({1, 1, 0}));
    EXPECT_EQ(animation.WaitingHandlers(), 0u);

    // A handler registers a new one (due at the next finish) and withdraws the one after it, as a command does
    // that ends the scene holding the other waiting command.
    Resource::FinishToken victimToken = 0;
    animation.SetFinishHandler(Callback<void()>([&] {
        animation.SetFinishHandler(Count(later));
        animation.RemoveFinishHandler(victimToken);
    }));
    victimToken = animation.SetFinishHandler(Count(victim));
    animation.Update(0.0f);
    EXPECT_EQ(std::vector({later, victim}), std::vector({0, 0}));
    animation.Update(0.0f);
    EXPECT_EQ(std::vector({later, victim}), std::vector({1, 0}));

    Sprite sprite;
    int still = 0;
    EXPECT_EQ(sprite.SetFinishHandler(Count(still)), 0u);
    sprite.Update(1.0f);
    EXPECT_EQ(still, 1) << "a still picture is complete at once";
}

} // namespace
} // namespace Vel
