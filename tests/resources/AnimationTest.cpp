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

TEST(AnimationTest, FramesAdvanceOnePerUpdateAndOnlyNonCyclingAnimationsFinish)
{
    TestTools::HeadlessHge hge; // the frames' quads take a reference on the interface
    Animation one, four, cycling, empty;
    int calls[4] = {};
    WithFrames(one, 1).SetFinishHandler(Count(calls[0]));
    WithFrames(four, 4).SetFinishHandler(Count(calls[1]));
    WithFrames(cycling, 2).SetCycle(true);
    cycling.SetFinishHandler(Count(calls[2]));
    empty.SetFinishHandler(Count(calls[3])); // a name the script never defined must not hold its waiters
    one.Update(0.0f);
    EXPECT_EQ(calls[0], 1) << "a single frame is the last one at once";
    // Per step: four's finish calls, its frame, the cycling frame. A step longer than several frames advances one;
    // the time left over carries on into the next update.
    std::vector<int> shown;
    for (float step : {0.125f, 0.125f, 5.0f, 0.0f, 0.25f}) {
        for (Animation* animation : {&one, &four, &cycling, &empty})
            animation->Update(step);
        shown.push_back(calls[1] * 100 + four.GetCurrentFrame() * 10 + cycling.GetCurrentFrame());
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 11, 20, 131, 130}));
    EXPECT_EQ(std::vector(calls, calls + 4), (std::vector{1, 1, 0, 1}));

    // A new registration on a played-out animation is called at the next update.
    four.SetFinishHandler(Count(calls[1]));
    four.Update(0.0f);
    EXPECT_EQ(calls[1], 2);
    empty.Render(0.0f, 0.0f, 1.0f, 1.0f); // nothing to draw, and no harm
}

TEST(AnimationTest, EveryRegistrationIsCalledOnceAndHandlersMayChangeTheList)
{
    TestTools::HeadlessHge hge;
    Animation animation;
    WithFrames(animation, 2);
    int first = 0, second = 0, removed = 0, victim = 0, later = 0;
    animation.SetFinishHandler(Count(first));
    animation.SetFinishHandler(Count(second));
    animation.RemoveFinishHandler(animation.SetFinishHandler(Count(removed)));
    EXPECT_EQ(animation.SetFinishHandler(Callback<void()>()), 0u) << "an empty handler is not kept";
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
    EXPECT_EQ(still, 1) << "a still picture is complete at once";
}

} // namespace
} // namespace Vel
