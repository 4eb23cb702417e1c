#include "scene/Poster.h"
#include "scene/ClickGate.h"

#include <gtest/gtest.h>

namespace Vel {
namespace {

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

TEST(ClickGateTest, AnAcceptedClickClosesTheGateForOneDelayKeepingTheRemainder)
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
}

} // namespace
} // namespace Vel
