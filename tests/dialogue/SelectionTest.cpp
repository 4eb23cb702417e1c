#include "dialogue/Selection.h"

#include "DialogueTestTools.h"

#include "dialogue/Textbox.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace Vel {
namespace {

using TestTools::CountingAction;

TEST(SelectionTest, ChoicesAreWholeShownBoxesAndAClickRunsTheActionThenTheFinishHandler)
{
    Selection selection;
    std::vector<std::string> log;
    selection.AddChoice(std::make_shared<CountingAction>(log, "left"), u"Go^left", nullptr, 10.0f, 20.0f, 100.0f,
                        30.0f);
    selection.AddChoice(nullptr, u"Stay", nullptr, 10.0f, 60.0f, 100.0f, 30.0f);
    selection.SetFinishHandler(Callback<void()>([&] {
        log.push_back("finish");
        selection.SetFinishHandler(Callback<void()>([&log] { log.push_back("finish again"); }));
    }));
    ASSERT_EQ(selection.GetChoices().size(), 2u);
    Textbox& left = *selection.GetChoices()[0];
    Textbox& stay = *selection.GetChoices()[1];
    EXPECT_TRUE(left.IsVisible() && left.IsComplete());
    EXPECT_EQ(left.GetDisplayText(), "Go\nleft");
    EXPECT_FALSE(left.GetClickme() || left.GetClick() || left.GetSkip()) << "no continue picture, nothing to read";
    EXPECT_EQ(left.GetWrapLimit(), 85.0f);

    EXPECT_TRUE(left.TestMouse(50.0f, 30.0f, false));
    EXPECT_FALSE(left.TestMouse(50.0f, 50.0f, true)) << "the bottom edge is outside";
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(left.TestMouse(10.0f, 20.0f, true));
    EXPECT_EQ(log, (std::vector<std::string>{"left", "finish"}));
    EXPECT_TRUE(stay.TestMouse(20.0f, 70.0f, true)) << "a choice without commands still chooses";
    EXPECT_EQ(log, (std::vector<std::string>{"left", "finish", "finish again"}));

    // Choices stay complete: time does not retype them.
    stay.Update(5.0f);
    EXPECT_EQ(stay.GetShown(), 4);
}

} // namespace
} // namespace Vel
