// The history log once it is full: the oldest lines make room, and what is read back from a save of it comes in the
// order the lines were shown.
#include "dialogue/HistoryLog.h"

#include "TempFolder.h"
#include "core/TextCodec.h"
#include "data/BinarySerializer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Vel {
namespace {

TEST(HistoryLogTest, AFullLogKeepsTheNewestLinesInOrderAndSavesThemSo)
{
    HistoryLog log;
    for (int line = 1; line <= 205; ++line)
        log.Add("", std::to_string(line), u"", nullptr, nullptr);
    ASSERT_EQ(log.Size(), HistoryLog::kCapacity);
    EXPECT_EQ(log.At(0).text, "6");
    EXPECT_EQ(log.At(HistoryLog::kCapacity - 1).text, "205");

    TestTools::TempFolder folder;
    const std::u16string file = TextCodec::Utf8ToWide(folder.File("history"));
    {
        BinarySerializer writer(file, BinarySerializer::Direction::Write);
        log.Save(writer);
        ASSERT_TRUE(writer.Commit());
    }
    BinarySerializer reader(file, BinarySerializer::Direction::Read);
    std::vector<HistoryEntry> entries;
    std::string error;
    ASSERT_TRUE(HistoryLog::Read(reader, entries, error)) << error;
    ASSERT_EQ(entries.size(), HistoryLog::kCapacity);
    EXPECT_EQ(entries.front().text, "6");
    EXPECT_EQ(entries.back().text, "205");

    // A restored log goes on after its newest line.
    log.Restore(std::move(entries));
    log.Add("", "206", u"", nullptr, nullptr);
    EXPECT_EQ(log.At(0).text, "7");
    EXPECT_EQ(log.At(HistoryLog::kCapacity - 1).text, "206");
}

} // namespace
} // namespace Vel
