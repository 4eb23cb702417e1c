#include "data/BinarySerializer.h"

#include "TempFolder.h"
#include "core/TextCodec.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace Vel {
namespace {

using Direction = BinarySerializer::Direction;
namespace fs = std::filesystem;

std::u16string Wide(const std::string& utf8)
{
    return TextCodec::Utf8ToWide(utf8);
}

// A settings record as the game writes it: text, number, integer, flag.
using Record = std::tuple<std::u16string, float, std::int32_t, bool>;
const Record kUntouched{u"kept", -1.0f, 42, true}; // what a failed read must leave in place

Record ReadRecord(BinarySerializer& reader)
{
    Record record = kUntouched;
    auto& [text, number, integer, flag] = record;
    reader.ReadString(text);
    reader.ReadFloat(number);
    reader.ReadInt(integer);
    reader.ReadBool(flag);
    return record;
}

TEST(BinarySerializerTest, WritesLittleEndianValuesBackToBackAndReadsThemBack)
{
    TestTools::TempFolder folder;
    const Record records[] = {{u"", 1.0f, -2, true}, {u"x\U0001F600", -0.25f, 7, false}};
    {
        BinarySerializer writer(Wide(folder.File("values.bin")), Direction::Write);
        ASSERT_TRUE(writer.IsOpen());
        for (const auto& [text, number, integer, flag] : records) {
            writer.WriteString(text);
            writer.WriteFloat(number);
            writer.WriteInt(integer);
            writer.WriteBool(flag);
        }
        EXPECT_TRUE(writer.Commit());
        EXPECT_FALSE(writer.Failed());
    }
    // clang-format off
    EXPECT_EQ(folder.Read("values.bin"), std::string("\x00\x00\x00\x00" "\x00\x00\x80\x3F" "\xFE\xFF\xFF\xFF" "\x01"
                                                     "\x06\x00\x00\x00\x78\x00\x3D\xD8\x00\xDE" "\x00\x00\x80\xBE"
                                                     "\x07\x00\x00\x00" "\x00", 32));
    // clang-format on
    BinarySerializer reader(Wide(folder.File("values.bin")), Direction::Read);
    EXPECT_EQ(ReadRecord(reader), records[0]);
    EXPECT_EQ(ReadRecord(reader), records[1]);
    EXPECT_FALSE(reader.Failed());
    // Reading past the end leaves the targets alone and marks the reader failed.
    EXPECT_EQ(ReadRecord(reader), kUntouched);
    EXPECT_TRUE(reader.Failed());
}

TEST(BinarySerializerTest, DamagedCountsLeaveEveryLaterTargetUnchanged)
{
    // The good file is the one the damaged ones were made from.
    BinarySerializer good(Wide(VEL_TEST_DATA "/settings_good.bin"), Direction::Read);
    EXPECT_EQ(ReadRecord(good), (Record{u"ab", 1.0f, -7, true}));
    EXPECT_FALSE(good.Failed());
    for (const char* name : {"settings_odd_count.bin", "settings_negative_count.bin", "settings_huge_count.bin",
                             "settings_short_int.bin"}) {
        BinarySerializer reader(Wide(std::string(VEL_TEST_DATA) + "/" + name), Direction::Read);
        ASSERT_TRUE(reader.IsOpen()) << name;
        EXPECT_EQ(ReadRecord(reader), kUntouched) << name;
        EXPECT_TRUE(reader.Failed()) << name;
    }

    TestTools::TempFolder folder;
    BinarySerializer missing(Wide(folder.File("absent.bin")), Direction::Read);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(ReadRecord(missing), kUntouched);
    EXPECT_FALSE(missing.Failed());
    EXPECT_FALSE(missing.Commit());
    EXPECT_FALSE(BinarySerializer(Wide(folder.Path().string()), Direction::Read).IsOpen());
}

TEST(BinarySerializerTest, WriterReplacesTheFileOnlyWhenComplete)
{
    TestTools::TempFolder folder;
    const std::u16string name = Wide(folder.File("sys1.dfn"));
    folder.Write("sys1.dfn", "old");
    {
        BinarySerializer writer(name, Direction::Write);
        writer.WriteInt(1);
        // Until the writer commits, a crash would leave the old file.
        EXPECT_EQ(folder.Read("sys1.dfn"), "old");
    }
    EXPECT_EQ(folder.Read("sys1.dfn"), std::string("\x01\x00\x00\x00", 4));
    EXPECT_FALSE(fs::exists(folder.File("sys1.dfn.tmp")));

    // A writer whose temporary file cannot be made keeps the old file.
    folder.Write("sys1.dfn", "old");
    fs::create_directory(folder.File("sys1.dfn.tmp"));
    {
        BinarySerializer writer(name, Direction::Write);
        EXPECT_FALSE(writer.IsOpen());
        writer.WriteInt(2);
        EXPECT_FALSE(writer.Commit());
        EXPECT_FALSE(writer.Commit());
    }
    EXPECT_EQ(folder.Read("sys1.dfn"), "old");
    fs::remove(folder.File("sys1.dfn.tmp"));

    // A target that cannot be replaced fails the commit and leaves no temporary file.
    fs::remove(folder.File("sys1.dfn"));
    folder.Write("sys1.dfn/inside", "x");
    BinarySerializer blocked(name, Direction::Write);
    blocked.WriteInt(3);
    EXPECT_FALSE(blocked.Commit());
    EXPECT_TRUE(blocked.Failed());
    EXPECT_FALSE(fs::exists(folder.File("sys1.dfn.tmp")));
}

} // namespace
} // namespace Vel
