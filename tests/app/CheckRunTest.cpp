// "velloria check" as an author runs it: broken names are reported with file and line, warnings fail only under
// --strict, and a clean game (also with pictures packed into its archive) reports nothing.
#include "RunTools.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace Vel::TestTools;
using ::testing::HasSubstr;

class CheckRunTest : public ::testing::Test
{
protected:
    void SetUp() override { m_game = CopyGame(m_root, "saves"); }

    // The exit status; the report is left in Report().
    int Check(const std::string& options = {}) { return Engine(m_root, "check '" + m_game.string() + "' " + options); }
    std::string Report() const { return m_root.Read("err.txt"); }

    TempFolder m_root;
    fs::path m_game;
};

TEST_F(CheckRunTest, ACleanGameReportsNothingAlsoWithItsPicturesInAnArchive)
{
    EXPECT_EQ(Check("--strict"), 0) << Report();
    EXPECT_EQ(Report(), "");

    // The engine finds pictures in its mounted archives, so the check does too.
    ASSERT_EQ(Status("cd '" + m_game.string() + "' && '" + VEL_ENGINE + "' pack data.pak room1.png empty.png"), 0);
    fs::remove(m_game / "room1.png");
    fs::remove(m_game / "empty.png");
    std::ofstream(m_game / "preferences.ini") << "[archives]\n1=data.pak\n";
    EXPECT_EQ(Check("--strict"), 0) << Report();
    EXPECT_EQ(Report(), "");

    std::ofstream(m_game / "preferences.ini", std::ios::trunc) << "";
    EXPECT_EQ(Check(), 0);
    EXPECT_THAT(Report(), HasSubstr("picture file 'room1.png' is missing"));
}

// The demo is clean; on a copy of it, as an author breaks it: a misspelt scene, a picture file that is not there, a
// misspelt statement and a lost script are named with the script the author wrote and its line, as is a font's lost
// letter picture.
TEST_F(CheckRunTest, TheDemoIsCleanAndABrokenCopyIsWarnedOfWithFileAndLine)
{
    m_game = CopyDemo(m_root);
    EXPECT_EQ(Check("--strict"), 0) << Report();
    EXPECT_EQ(Report(), "");
    EXPECT_FALSE(fs::exists(m_game / "engine.log")) << "its fonts load as in a game run";

    fs::remove(m_game / "fonts/cjk.ttf");
    std::vector<std::string> expected = {
        "pictures.vls:37: warning: fallback font 'cjk': fonts/cjk.ttf is missing from the game folder and the "
        "archives\n"};
    for (const std::string& breakage : DataLines(fs::path(VEL_TEST_DATA) / "demo" / "breakages.txt")) {
        std::istringstream fields(breakage);
        std::string file, from, to, warning;
        std::getline(std::getline(std::getline(std::getline(fields, file, '|'), from, '|'), to, '|'), warning);
        if (const std::size_t at = to.find("\\n"); at != std::string::npos)
            to.replace(at, 2, "\n");
        std::string text = m_root.Read("demo/" + file);
        const std::size_t at = text.find(from);
        ASSERT_NE(at, std::string::npos) << breakage;
        m_root.Write("demo/" + file, text.replace(at, from.size(), to));
        const auto line = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1;
        expected.push_back(file + ":" + std::to_string(line) + ": warning: " + warning + "\n");
    }
    for (const int strict : {0, 1}) {
        EXPECT_EQ(Check(strict ? "--strict" : ""), strict) << "warnings alone fail only under --strict";
        for (const std::string& warning : expected)
            EXPECT_THAT(Report(), HasSubstr(warning));
    }
}

} // namespace
