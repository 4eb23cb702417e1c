// "velloria check" as an author runs it: broken names are reported with file and line, warnings fail only under
// --strict, and a clean game (also with pictures packed into its archive) reports nothing.
#include "RunTools.h"
#include "core/HgeManager.h"
#include "platform/ArchiveWriter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

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
    std::string error;
    ASSERT_TRUE(Vel::ArchiveWriter::Pack((m_game / "data.pak").string(),
                                         {(m_game / "room1.png").string(), (m_game / "empty.png").string()},
                                         Vel::HgeManager::kArchivePassword, error))
        << error;
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
// misspelt statement, a font's lost letter picture and a lost script are named with the script the author wrote and its
// line.
TEST_F(CheckRunTest, TheDemoIsCleanAndABrokenCopyIsWarnedOfWithFileAndLine)
{
    m_game = CopyDemo(m_root);
    EXPECT_EQ(Check("--strict"), 0) << Report();
    EXPECT_EQ(Report(), "");
    EXPECT_FALSE(fs::exists(m_game / "engine.log")) << "its fonts load as in a game run";

    // Replaces the first occurrence; returns its line as text, "0" when it is not there.
    const auto replace = [&](const std::string& file, const std::string& from, const std::string& to, int below = 0) {
        std::string text = m_root.Read("demo/" + file);
        const std::size_t at = text.find(from);
        if (at == std::string::npos)
            return std::string("0");
        m_root.Write("demo/" + file, text.replace(at, from.size(), to));
        return std::to_string(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1 +
                              below);
    };
    const std::string gotoLine = replace("story.vls", "goto(finale)", "goto(finalle)");
    const std::string pictureLine = replace("pictures.vls", "file=pics/lantern.png", "file=pics/lanterns.png");
    const std::string statementLine = replace("story.vls", "sfx(sound/splash.ogg)", "sfxx(sound/splash.ogg)");
    const std::string includeLine =
        replace("script.vls", "include(story.vls)", "include(story.vls)\ninclude(extra.vls)", 1);
    ASSERT_TRUE(gotoLine != "0" && pictureLine != "0" && statementLine != "0" && includeLine != "1");
    fs::remove(m_game / "fonts/font1.png");
    const std::string expected[] = {
        "warning: pictures.vls, line " + pictureLine +
            ": picture file 'pics/lanterns.png' is missing from the game folder and the archives\n",
        "warning: story.vls, line " + gotoLine + ": goto names 'finalle', which is no scene\n",
        "warning: story.vls, line " + statementLine + ": unknown statement 'sfxx'; the engine skips it\n",
        "font 'font1': its letter picture fonts/font1.png is missing from the game folder and the archives\n",
        "warning: script.vls, line " + includeLine +
            ": include names 'extra.vls', which is in neither the game folder nor the archives\n"};

    for (const int strict : {0, 1}) {
        EXPECT_EQ(Check(strict ? "--strict" : ""), strict) << "warnings alone fail only under --strict";
        for (const std::string& warning : expected)
            EXPECT_THAT(Report(), HasSubstr(warning));
    }
}

} // namespace
