// "velloria check" as an author runs it: broken names are reported with file and line, warnings fail only under
// --strict, and a clean game (also with pictures packed into its archive) reports nothing.
#include "GameRun.h"
#include "TempFolder.h"
#include "core/HgeManager.h"
#include "platform/ArchiveWriter.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

class CheckRunTest : public ::testing::Test
{
protected:
    void SetUp() override { m_game = Vel::TestTools::CopyGame(m_root, "saves"); }

    // The exit status; the report is left in Report().
    int Check(const std::string& options = {})
    {
        const std::string command = std::string("'") + VEL_ENGINE + "' check '" + m_game.string() + "' " + options +
                                    " 2>'" + m_root.File("check.txt") + "' >/dev/null";
        const int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Report() const { return m_root.Read("check.txt"); }

    // Appends the text to the game's script; returns the number of the first appended line.
    int Append(const std::string& text)
    {
        std::ifstream script(m_game / "script.vls");
        const auto lines = std::count(std::istreambuf_iterator<char>(script), std::istreambuf_iterator<char>(), '\n');
        std::ofstream(m_game / "script.vls", std::ios::app) << text;
        return static_cast<int>(lines) + 1;
    }

    Vel::TestTools::TempFolder m_root;
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
    EXPECT_NE(Report().find("picture file 'room1.png' is missing"), std::string::npos) << Report();
}

// The demo is clean; on a copy of it, as an author breaks it: a misspelt scene, a picture file that is not there, a
// misspelt statement, a font's lost letter picture and a lost script are named with the script the author wrote and its
// line.
TEST_F(CheckRunTest, TheDemoIsCleanAndABrokenCopyIsWarnedOfWithFileAndLine)
{
    m_game = Vel::TestTools::CopyDemo(m_root);
    EXPECT_EQ(Check("--strict"), 0) << Report();
    EXPECT_EQ(Report(), "");
    EXPECT_FALSE(fs::exists(m_game / "engine.log")) << "its fonts load as in a game run";

    // Replaces the first occurrence; returns its line.
    const auto replace = [&](const std::string& file, const std::string& from, const std::string& to) -> long {
        std::string text = m_root.Read("demo/" + file);
        const std::size_t at = text.find(from);
        if (at == std::string::npos)
            return 0;
        m_root.Write("demo/" + file, text.replace(at, from.size(), to));
        return std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1;
    };
    const auto line = [](long number) { return std::to_string(number); };
    const long gotoLine = replace("story.vls", "goto(finale)", "goto(finalle)");
    const long pictureLine = replace("pictures.vls", "file=pics/lantern.png", "file=pics/lanterns.png");
    const long statementLine = replace("story.vls", "sfx(sound/splash.ogg)", "sfxx(sound/splash.ogg)");
    const long includeLine = replace("script.vls", "include(story.vls)", "include(story.vls)\ninclude(extra.vls)") + 1;
    ASSERT_TRUE(gotoLine > 0 && pictureLine > 0 && statementLine > 0 && includeLine > 1);
    fs::remove(m_game / "fonts/font1.png");
    const std::string expected[] = {
        "warning: pictures.vls, line " + line(pictureLine) +
            ": picture file 'pics/lanterns.png' is missing from the game folder and the archives\n",
        "warning: story.vls, line " + line(gotoLine) + ": goto names 'finalle', which is no scene\n",
        "warning: story.vls, line " + line(statementLine) + ": unknown statement 'sfxx'; the engine skips it\n",
        "font 'font1': its letter picture fonts/font1.png is missing from the game folder and the archives\n",
        "warning: script.vls, line " + line(includeLine) +
            ": include names 'extra.vls', which is in neither the game folder nor the archives\n"};

    EXPECT_EQ(Check(), 0) << "warnings alone are no failure";
    for (const std::string& warning : expected)
        EXPECT_NE(Report().find(warning), std::string::npos) << warning << Report();
    EXPECT_EQ(Check("--strict"), 1);
    for (const std::string& warning : expected)
        EXPECT_NE(Report().find(warning), std::string::npos) << warning << Report();
}

TEST_F(CheckRunTest, AScriptErrorFailsWithoutStrict)
{
    const int first = Append("\nbeginscene(broken)\ngoto(nowhere)\ndelay(soon)\nend\n");
    EXPECT_EQ(Check(), 1);
    EXPECT_NE(Report().find("Line: " + std::to_string(first + 3)), std::string::npos) << Report();
}

} // namespace
