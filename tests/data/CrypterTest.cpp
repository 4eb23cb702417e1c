#include "data/Crypter.h"

#include "TempFolder.h"
#include "app/TextCodec.h"
#include "data/FileReader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace Vel {
namespace {

std::u16string Wide(const std::string& utf8)
{
    return TextCodec::Utf8ToWide(utf8);
}

// The start-up compile loop, over one source and one compiled file.
void Compile(const std::string& source, const std::string& compiled)
{
    FileReader reader;
    ASSERT_TRUE(reader.Open(Wide(source)));
    Crypter writer;
    ASSERT_TRUE(writer.OpenWrite(Wide(compiled)));
    while (!reader.Eof())
        ASSERT_TRUE(writer.WriteLine(reader.ReadLine()));
    ASSERT_TRUE(writer.CloseWrite());
}

std::vector<std::u16string> ReadAll(const std::string& compiled)
{
    Crypter reader;
    EXPECT_TRUE(reader.OpenRead(Wide(compiled)));
    std::vector<std::u16string> lines;
    while (!reader.Eof() && lines.size() < 1000)
        lines.push_back(reader.ReadLine());
    return lines;
}

TEST(CrypterTest, CompiledBytesOfTwoLines)
{
    TestTools::TempFolder folder;
    const std::string expected("\x02\x00\x00\x00\x65\x6B"
                               "\x02\x00\x00\x00\x64\x6B"
                               "\xF0\xFF\xFF\xFF",
                               16);
    folder.Write("plain.vls", "x\ny");
    Compile(folder.File("plain.vls"), folder.File("plain.cvls"));
    EXPECT_EQ(folder.Read("plain.cvls"), expected);
    // A final line feed gives the same records.
    folder.Write("final.vls", "x\ny\n");
    Compile(folder.File("final.vls"), folder.File("final.cvls"));
    EXPECT_EQ(folder.Read("final.cvls"), expected);

    EXPECT_EQ(ReadAll(folder.File("plain.cvls")), (std::vector<std::u16string>{u"x", u"y", u""}));
}

TEST(CrypterTest, LinesKeepTheirTextThroughCompileAndRead)
{
    TestTools::TempFolder folder;
    const std::string longLine(5000, 'L');
    folder.Write("text.vls", "\xEF\xBB\xBF"
                             "first\r\nsecond\r\n\nsmile \xF0\x9F\x98\x80!\n" +
                                 longLine + "\n");
    Compile(folder.File("text.vls"), folder.File("text.cvls"));
    const std::vector<std::u16string> lines = ReadAll(folder.File("text.cvls"));
    ASSERT_EQ(lines.size(), 6U);
    EXPECT_EQ(lines[0], u"first\r");
    EXPECT_EQ(lines[1], u"second\r");
    EXPECT_EQ(lines[2], u"");
    EXPECT_EQ(lines[3], std::u16string({u's', u'm', u'i', u'l', u'e', u' ', 0xD83D, 0xDE00, u'!'}));
    EXPECT_EQ(lines[4], Wide(longLine));
    EXPECT_EQ(lines[5], u"");
}

TEST(CrypterTest, KeyCharacterAndEmptyLinesRoundTrip)
{
    TestTools::TempFolder folder;
    const std::u16string withKey = {u'a', Crypter::kKey, u'b', Crypter::kKey};
    {
        Crypter writer;
        ASSERT_TRUE(writer.OpenWrite(Wide(folder.File("key.cvls"))));
        EXPECT_TRUE(writer.WriteLine(withKey));
        EXPECT_TRUE(writer.WriteLine(u""));
        EXPECT_TRUE(writer.WriteLine(u"end"));
        EXPECT_TRUE(writer.CloseWrite());
    }
    EXPECT_EQ(folder.Read("key.cvls").substr(0, 14), std::string("\x08\x00\x00\x00\x7C\x6B\x00\x00\x7F\x6B\x00\x00"
                                                                 "\xF0\xFF",
                                                                 14));
    EXPECT_EQ(ReadAll(folder.File("key.cvls")), (std::vector<std::u16string>{withKey, u"", u"end"}));

    EXPECT_EQ(Crypter::Scramble(u""), u"");
    EXPECT_EQ(Crypter::Scramble(Crypter::Scramble(u"abc\u6B1D")), u"abc\u6B1D");
}

TEST(CrypterTest, DamagedRecordsEndTheFile)
{
    for (const char* name : {"negative_length.cvls", "odd_length.cvls", "past_end.cvls", "truncated_count.cvls"}) {
        SCOPED_TRACE(name);
        Crypter reader;
        ASSERT_TRUE(reader.OpenRead(Wide(std::string(VEL_TEST_DATA) + "/" + name)));
        EXPECT_EQ(reader.ReadLine(), u"before");
        EXPECT_FALSE(reader.Eof());
        EXPECT_EQ(reader.ReadLine(), u"");
        EXPECT_TRUE(reader.Eof());
        EXPECT_EQ(reader.ReadLine(), u"");
        EXPECT_TRUE(reader.Eof());
    }
    EXPECT_EQ(ReadAll(std::string(VEL_TEST_DATA) + "/good.cvls"),
              (std::vector<std::u16string>{u"first", u"", u"last"}));
}

TEST(CrypterTest, MissingFilesAndClosedWriters)
{
    TestTools::TempFolder folder;
    Crypter crypter;
    EXPECT_FALSE(crypter.OpenRead(Wide(folder.File("absent.cvls"))));
    EXPECT_TRUE(crypter.Eof());
    EXPECT_EQ(crypter.ReadLine(), u"");
    EXPECT_FALSE(crypter.WriteLine(u"nowhere"));
    EXPECT_FALSE(crypter.CloseWrite());
    EXPECT_FALSE(crypter.OpenWrite(Wide(folder.File("no/such/folder.cvls"))));
    EXPECT_FALSE(crypter.WriteLine(u"nowhere"));
}

} // namespace
} // namespace Vel
