#include "data/BinarySerializer.h"

#include "TempFolder.h"
#include "app/TextCodec.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace Vel {
namespace {

using Direction = BinarySerializer::Direction;

std::u16string Wide(const std::string& utf8)
{
    return TextCodec::Utf8ToWide(utf8);
}

std::u16string DataFile(const char* name)
{
    return Wide(std::string(VEL_TEST_DATA) + "/" + name);
}

TEST(BinarySerializerTest, WritesLittleEndianValuesBackToBack)
{
    TestTools::TempFolder folder;
    {
        BinarySerializer writer(Wide(folder.File("values.bin")), Direction::Write);
        ASSERT_TRUE(writer.IsOpen());
        writer.WriteString(u"");
        writer.WriteString(u"ab");
        writer.WriteFloat(1.0f);
        writer.WriteBool(true);
        writer.WriteBool(false);
        writer.WriteInt(-2);
        EXPECT_TRUE(writer.Commit());
        EXPECT_FALSE(writer.Failed());
    }
    const std::string expected("\x00\x00\x00\x00"
                               "\x04\x00\x00\x00\x61\x00\x62\x00"
                               "\x00\x00\x80\x3F"
                               "\x01\x00"
                               "\xFE\xFF\xFF\xFF",
                               22);
    EXPECT_EQ(folder.Read("values.bin"), expected);
}

TEST(BinarySerializerTest, ReadsWhatWasWritten)
{
    BinarySerializer reader(DataFile("settings_good.bin"), Direction::Read);
    ASSERT_TRUE(reader.IsOpen());
    std::u16string text;
    float number = 0;
    std::int32_t integer = 0;
    bool flag = false;
    reader.ReadString(text);
    reader.ReadFloat(number);
    reader.ReadInt(integer);
    reader.ReadBool(flag);
    EXPECT_EQ(text, u"ab");
    EXPECT_EQ(number, 1.0f);
    EXPECT_EQ(integer, -7);
    EXPECT_TRUE(flag);
    EXPECT_FALSE(reader.Failed());

    // Reading past the end leaves the target alone and marks the reader failed.
    reader.ReadInt(integer);
    EXPECT_EQ(integer, -7);
    EXPECT_TRUE(reader.Failed());

    TestTools::TempFolder folder;
    const std::u16string astral = {u'x', 0xD83D, 0xDE00, 0x6B1D, 0};
    {
        BinarySerializer writer(Wide(folder.File("round.bin")), Direction::Write);
        writer.WriteString(astral);
        writer.WriteFloat(-0.25f);
    }
    BinarySerializer again(Wide(folder.File("round.bin")), Direction::Read);
    again.ReadString(text);
    again.ReadFloat(number);
    EXPECT_EQ(text, astral);
    EXPECT_EQ(number, -0.25f);
}

TEST(BinarySerializerTest, DamagedCountsLeaveEveryLaterTargetUnchanged)
{
    for (const char* name : {"settings_odd_count.bin", "settings_negative_count.bin", "settings_huge_count.bin",
                             "settings_short_int.bin"}) {
        SCOPED_TRACE(name);
        BinarySerializer reader(DataFile(name), Direction::Read);
        ASSERT_TRUE(reader.IsOpen());
        std::u16string text = u"kept";
        std::int32_t integer = 42;
        bool flag = true;
        reader.ReadString(text);
        reader.ReadInt(integer);
        reader.ReadBool(flag);
        EXPECT_EQ(text, u"kept");
        EXPECT_EQ(integer, 42);
        EXPECT_TRUE(flag);
        EXPECT_TRUE(reader.Failed());
    }
}

TEST(BinarySerializerTest, MissingFileReadsNothing)
{
    TestTools::TempFolder folder;
    BinarySerializer reader(Wide(folder.File("absent.bin")), Direction::Read);
    EXPECT_FALSE(reader.IsOpen());
    std::int32_t integer = 5;
    reader.ReadInt(integer);
    EXPECT_EQ(integer, 5);
    EXPECT_FALSE(reader.Failed());
    EXPECT_FALSE(reader.Commit());
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
    EXPECT_FALSE(std::filesystem::exists(folder.File("sys1.dfn.tmp")));

    // A writer whose temporary file cannot be made keeps the old file.
    folder.Write("sys1.dfn", "old");
    std::filesystem::create_directory(folder.File("sys1.dfn.tmp"));
    {
        BinarySerializer writer(name, Direction::Write);
        EXPECT_FALSE(writer.IsOpen());
        writer.WriteInt(2);
        EXPECT_FALSE(writer.Commit());
        EXPECT_FALSE(writer.Commit());
    }
    EXPECT_EQ(folder.Read("sys1.dfn"), "old");
    std::filesystem::remove(folder.File("sys1.dfn.tmp"));

    // A target that cannot be replaced fails the commit and leaves no temporary file.
    std::filesystem::remove(folder.File("sys1.dfn"));
    std::filesystem::create_directory(folder.File("sys1.dfn"));
    folder.Write("sys1.dfn/inside", "x");
    BinarySerializer blocked(name, Direction::Write);
    blocked.WriteInt(3);
    EXPECT_FALSE(blocked.Commit());
    EXPECT_TRUE(blocked.Failed());
    EXPECT_FALSE(std::filesystem::exists(folder.File("sys1.dfn.tmp")));
}

} // namespace
} // namespace Vel
