#include "data/FileReader.h"

#include "TempFolder.h"
#include "app/TextCodec.h"

#include <gtest/gtest.h>

namespace Vel {
namespace {

std::u16string DataFile(const char* name)
{
    return TextCodec::Utf8ToWide(std::string(VEL_TEST_DATA) + "/" + name);
}

TEST(FileReaderTest, CountsInvalidSequencesPerLine)
{
    FileReader reader;
    ASSERT_TRUE(reader.Open(DataFile("invalid_utf8.vls")));
    const std::u16string expected[] = {u"ok", u"bad \uFFFD here", u"\u00E9 fine", u"two \uFFFD\uFFFD bad", u""};
    const std::size_t invalid[] = {0, 1, 0, 2, 0};
    for (int line = 0; line < 5; ++line) {
        ASSERT_FALSE(reader.Eof());
        EXPECT_EQ(reader.ReadLine(), expected[line]);
        EXPECT_EQ(reader.LineNumber(), line + 1);
        EXPECT_EQ(reader.InvalidInLastLine(), invalid[line]);
    }
    EXPECT_TRUE(reader.Eof());
}

TEST(FileReaderTest, DropsOnlyTheFirstByteOrderMarkAndKeepsCarriageReturns)
{
    FileReader reader;
    ASSERT_TRUE(reader.Open(DataFile("bom_crlf.vls")));
    EXPECT_EQ(reader.ReadLine(), u"\uFEFFone\r");
    EXPECT_EQ(reader.ReadLine(), u"two\r");
    EXPECT_FALSE(reader.Eof());
    EXPECT_EQ(reader.ReadLine(), u"");
    EXPECT_TRUE(reader.Eof());
}

TEST(FileReaderTest, EndOfFileAndMissingFiles)
{
    TestTools::TempFolder folder;
    folder.Write("empty.vls", "");
    FileReader reader;
    ASSERT_TRUE(reader.Open(TextCodec::Utf8ToWide(folder.File("empty.vls"))));
    EXPECT_FALSE(reader.Eof());
    EXPECT_EQ(reader.ReadLine(), u"");
    EXPECT_TRUE(reader.Eof());

    const std::string longLine(100000, 'w');
    folder.Write("long.vls", longLine);
    ASSERT_TRUE(reader.Open(TextCodec::Utf8ToWide(folder.File("long.vls"))));
    EXPECT_EQ(reader.ReadLine().size(), longLine.size());

    EXPECT_FALSE(reader.Open(TextCodec::Utf8ToWide(folder.File("absent.vls"))));
    EXPECT_TRUE(reader.Eof());
    EXPECT_EQ(reader.ReadLine(), u"");
    EXPECT_FALSE(reader.Open(TextCodec::Utf8ToWide(folder.Path().string())));
}

} // namespace
} // namespace Vel
