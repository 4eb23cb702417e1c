#include "app/EngineOptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Vel {
namespace {

// The end-to-end runs use most options; these are the ones they do not, and the mistakes.
TEST(EngineOptionsTest, MistakesAreRefusedWithAReason)
{
    std::string error;
    const auto options = EngineOptions::Parse({"game", "--dt", "0.02"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_DOUBLE_EQ(options->platform.fixedDelta, 0.02);
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{{"--frames"},
                                                                                       {"--frames", "-1"},
                                                                                       {"--frames", "x"},
                                                                                       {"--dt", "0"},
                                                                                       {"--desktop", "1920"},
                                                                                       {"--snapshot", "3:a.gif"},
                                                                                       {"--snapshot", "a.png"},
                                                                                       {"--bogus"},
                                                                                       {"a", "b"},
                                                                                       {"check"},
                                                                                       {"pack", "x"}}) {
        error.clear();
        EXPECT_FALSE(EngineOptions::Parse(wrong, error)) << wrong[0];
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
} // namespace Vel
