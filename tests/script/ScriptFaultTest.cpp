// The faults an author meets first, as data/faults.txt lists them: a statement left open or closed once too often,
// a number that does not read, an empty attribute in a node statement, and a game id that names no folder.
#include "ProcessRecordGuard.h"
#include "ScriptRun.h"
#include "core/DisplaySettings.h"
#include "core/HgeManager.h"
#include "core/UserFiles.h"
#include "dialogue/DialogManager.h"
#include "resources/ResourceManager.h"
#include "scene/ScenesManager.h"

#include <gtest/gtest.h>

#include <string>

namespace Vel {
namespace {

TEST(ScriptFaultTest, FaultsNameTheLineWhereTheirStatementBeganAndGameIdsMustNameAFolder)
{
    TestTools::ProcessRecordGuard records;
    TestTools::ScriptRun script;
    HgeManager hge{script.folder.File("engine.log")};
    ResourceManager resources;
    DialogManager dialogs;
    ScenesManager scenes;
    for (const TestTools::Row& row : TestTools::ReadTable("faults.txt")) {
        const std::string first = TextCodec::WideToUtf8(row.lines.empty() ? u"" : row.lines[0]);
        if (first.starts_with("folder ")) {
            EXPECT_EQ(UserFiles::GameIdOfFolder(first.substr(7)), row.expected) << row.where;
            continue;
        }
        TheGameNames().gameId.clear();
        std::string outcome = script.Run(row.lines);
        const std::string report = TextCodec::WideToUtf8(script.parser->ErrorReport());
        const std::size_t line = report.find("Line: ") + 6;
        if (!outcome.empty())
            outcome = report.substr(line, report.find('\n', line) - line) + ": " + outcome;
        else if (!TheGameNames().gameId.empty())
            outcome = "game id " + TextCodec::WideToUtf8(TheGameNames().gameId);
        EXPECT_EQ(outcome, row.expected) << row.where;
    }
}

} // namespace
} // namespace Vel
