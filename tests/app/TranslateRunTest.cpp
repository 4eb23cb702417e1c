// A game in a second language: "velloria translate" writes the template of its texts, a run with --lang or after
// the language statement shows lang/xx.po's words and lang/xx/'s pictures, a damaged translation is not used and
// is named in the log with its line, and "velloria check" names the entries no script has any more.
#include "RunTools.h"

#include "data/PoCatalog.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace {

using namespace Vel::TestTools;
using ::testing::HasSubstr;

constexpr std::uint32_t kOwnBackground = 0x204080;        // bg.png
constexpr std::uint32_t kTranslatedBackground = 0x804020; // lang/xx/bg.png

class TranslateRunTest : public ::testing::Test
{
protected:
    void SetUp() override { m_game = CopyGame(m_root, "translate"); }

    void Run(const std::string& options)
    {
        ASSERT_EQ(RunGame(m_root, m_game,
                          "--frames 170" + Replay(m_root, m_game / "tools" / "meeting.replay") +
                              Snapshot(m_root, 10, "first.bmp") + options),
                  0)
            << m_root.Read("err.txt");
    }
    std::filesystem::path Expected(const std::string& name) const { return m_game / "expected" / name; }

    TempFolder m_root;
    std::filesystem::path m_game;
};

TEST_F(TranslateRunTest, TheLanguageShowsItsWordsAndPicturesFromTheNextLineAndFallsBackWhereItHasNone)
{
    struct Case
    {
        const char* name;
        const char* options;
        std::uint32_t background;
    };
    for (const Case& run : {Case{"own", "", kOwnBackground}, Case{"xx", " --lang xx", kTranslatedBackground}}) {
        SCOPED_TRACE(run.name);
        Run(run.options);
        ExpectTrace(m_root, Expected(std::string(run.name) + ".trace"));
        EXPECT_EQ(BmpPixel(m_root.Read("first.bmp"), 5, 5), run.background);
        // The choice's action returned to the game's own words, and the player's file says so.
        EXPECT_THAT(m_root.Read("user/settings.ini"), HasSubstr("language=\n"));
    }
}

// The language statement is the player's choice, kept in settings.ini; --lang is for its run only.
TEST_F(TranslateRunTest, TheStatementKeepsTheLanguageAndTheCommandLineDoesNot)
{
    struct Case
    {
        const char* options;
        const char* kept;
    };
    for (const Case& run : {Case{"--frames 50 --lang xx", "language=\n"}, Case{"--frames 130", "language=xx\n"}}) {
        std::filesystem::remove(m_root.File("user/settings.ini"));
        ASSERT_EQ(RunGame(m_root, m_game, run.options + Replay(m_root, m_game / "tools" / "meeting.replay")), 0);
        EXPECT_THAT(m_root.Read("user/settings.ini"), HasSubstr(run.kept)) << run.options;
    }
}

TEST_F(TranslateRunTest, ADamagedTranslationIsNotUsedAndIsLoggedOnceWithItsLine)
{
    std::string po = m_root.Read("translate/lang/xx.po");
    po.replace(po.find("msgstr \"Ave.\""), 13, "msgstr \"Ave.");
    m_root.Write("translate/lang/xx.po", po);
    Run(" --lang xx");
    ExpectTrace(m_root, Expected("damaged.trace"));
    const std::string log = m_root.Read("translate/engine.log");
    EXPECT_EQ(Occurrences(log, "lang/xx.po, line 19: end-of-line within string; the file is not used"), 1) << log;
    // Its pictures are no part of the damaged file.
    EXPECT_EQ(BmpPixel(m_root.Read("first.bmp"), 5, 5), kTranslatedBackground);
}

TEST_F(TranslateRunTest, TranslateWritesTheTemplateAndCheckNamesTheEntriesNoScriptHas)
{
    ASSERT_EQ(Engine(m_root, "translate '" + m_game.string() + "'"), 0) << m_root.Read("err.txt");
    const std::string pot = m_root.Read("translate/lang/messages.pot");
    EXPECT_EQ(pot, m_root.Read("translate/expected/messages.pot"));
    std::string error;
    EXPECT_TRUE(Vel::PoCatalog::Read(pot, "messages.pot", error)) << error;

    EXPECT_EQ(Engine(m_root, "check '" + m_game.string() + "'"), 0);
    EXPECT_EQ(m_root.Read("err.txt"), "lang/xx.po:36: warning: the text 'A line cut from the story.' said by 'hero' "
                                      "is in no script any more\n"
                                      "lang/xx.po:41: warning: the text 'Guide' with an empty msgctxt is in no script "
                                      "any more\n0 errors, 2 warnings\n");
}

} // namespace
