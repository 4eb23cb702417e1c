#include "app/EngineOptions.h"

#include "RunTools.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
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
    for (const std::string& line : TestTools::DataLines(std::string(VEL_TEST_DATA) + "/wrong_options.txt")) {
        std::istringstream words(line);
        error.clear();
        EXPECT_FALSE(EngineOptions::Parse({std::istream_iterator<std::string>(words), {}}, error)) << line;
        EXPECT_FALSE(error.empty()) << line;
    }
}

} // namespace
} // namespace Vel
