// "velloria check" as an author runs it: broken names are reported with file and line, warnings fail only under
// --strict, and a clean game (also with pictures packed into its archive) reports nothing.
#include "GameRun.h"
#include "TempFolder.h"
#include "app/HgeManager.h"
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

TEST_F(CheckRunTest, ABrokenGotoAndAMissingPictureAreWarnedWithFileAndLine)
{
    const int first = Append("\nbeginscene(broken)\nobject(ghost, file=ghost.png, layer=1)\ngoto(nowhere)\nend\n");
    const std::string picture = "warning: script.cvls, line " + std::to_string(first + 2) +
                                ": picture file 'ghost.png' is missing from the game folder and the archives\n";
    const std::string target =
        "warning: script.cvls, line " + std::to_string(first + 3) + ": goto names 'nowhere', which is no scene\n";

    EXPECT_EQ(Check(), 0) << "warnings alone are no failure";
    EXPECT_NE(Report().find(picture), std::string::npos) << Report();
    EXPECT_NE(Report().find(target), std::string::npos) << Report();

    EXPECT_EQ(Check("--strict"), 1);
    EXPECT_NE(Report().find(picture), std::string::npos) << Report();
    EXPECT_NE(Report().find(target), std::string::npos) << Report();
}

TEST_F(CheckRunTest, AScriptErrorFailsWithoutStrict)
{
    const int first = Append("\nbeginscene(broken)\ngoto(nowhere)\ndelay(soon)\nend\n");
    EXPECT_EQ(Check(), 1);
    EXPECT_NE(Report().find("Line: " + std::to_string(first + 3)), std::string::npos) << Report();
}

} // namespace
