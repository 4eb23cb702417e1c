#include "dialogue/Selection.h"

#include "dialogue/Textbox.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Vel {
namespace {

// The dialogue layer's input test clicks choices with actions; here, a choice without one and a finish handler that
// replaces itself.
TEST(SelectionTest, AChoiceWithoutCommandsStillChoosesAndStaysWhole)
{
    Selection selection;
    std::vector<std::string> log;
    selection.AddChoice(nullptr, u"Stay", nullptr, 10, 60, 100, 30);
    selection.SetFinishHandler(Callback<void()>([&] {
        log.push_back("finish");
        selection.SetFinishHandler(Callback<void()>([&log] { log.push_back("finish again"); }));
    }));
    Textbox& stay = *selection.GetChoices().at(0);
    EXPECT_TRUE(stay.IsVisible() && stay.IsComplete());
    EXPECT_FALSE(stay.TestMouse(50, 90, true)) << "the bottom edge is outside";
    for (int click = 0; click < 2; ++click)
        EXPECT_TRUE(stay.TestMouse(20, 70, true));
    EXPECT_EQ(log, (std::vector<std::string>{"finish", "finish again"}));

    // Time does not retype a choice.
    stay.Update(5.0f);
    EXPECT_EQ(stay.GetShown(), 4);
}

} // namespace
} // namespace Vel
