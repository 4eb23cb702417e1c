#include "data/Crypter.h"

#include "TempFolder.h"
#include "core/TextCodec.h"
#include "data/FileReader.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace Vel {
namespace {

using Lines = std::vector<std::u16string>;

std::u16string Wide(const std::string& utf8)
{
    return TextCodec::Utf8ToWide(utf8);
}

// The start-up compile loop over a source text into NAME.cvls; returns the compiled bytes.
std::string Compile(const TestTools::TempFolder& folder, const std::string& name, const std::string& source)
{
    folder.Write(name + ".vls", source);
    FileReader reader;
    EXPECT_TRUE(reader.Open(Wide(folder.File(name + ".vls"))));
    Crypter writer;
    EXPECT_TRUE(writer.OpenWrite(Wide(folder.File(name + ".cvls"))));
    while (!reader.Eof())
        EXPECT_TRUE(writer.WriteLine(reader.ReadLine()));
    EXPECT_TRUE(writer.CloseWrite());
    return folder.Read(name + ".cvls");
}

Lines ReadAll(const std::string& compiled)
{
    Crypter reader;
    EXPECT_TRUE(reader.OpenRead(Wide(compiled)));
    Lines lines;
    while (!reader.Eof() && lines.size() < 1000)
        lines.push_back(reader.ReadLine());
    return lines;
}

TEST(CrypterTest, CompiledRecordsKeepEveryLineExactly)
{
    TestTools::TempFolder folder;
    // "x" and "y", each scrambled with the key, then the end mark; a final line feed gives the same records.
    const std::string expected("\x02\x00\x00\x00\x65\x6B\x02\x00\x00\x00\x64\x6B\xF0\xFF\xFF\xFF", 16);
    EXPECT_EQ(Compile(folder, "plain", "x\ny"), expected);
    EXPECT_EQ(Compile(folder, "final", "x\ny\n"), expected);
    EXPECT_EQ(ReadAll(folder.File("plain.cvls")), (Lines{u"x", u"y", u""}));

    // The byte order mark goes, carriage returns stay, astral characters and long lines come back whole.
    const std::string bom = "\xEF\xBB\xBF", longLine(5000, 'L');
    Compile(folder, "text", bom + "first\r\nsecond\r\n\nsmile \xF0\x9F\x98\x80!\n" + longLine);
    EXPECT_EQ(ReadAll(folder.File("text.cvls")),
              (Lines{u"first\r", u"second\r", u"", u"smile \U0001F600!", Wide(longLine), u""}));

    // The key character itself scrambles to zero and back.
    const std::u16string withKey = {u'a', Crypter::kKey, u'b', Crypter::kKey};
    Crypter writer;
    ASSERT_TRUE(writer.OpenWrite(Wide(folder.File("key.cvls"))));
    for (const std::u16string& line : {withKey, std::u16string(), std::u16string(u"end")})
        EXPECT_TRUE(writer.WriteLine(line));
    EXPECT_TRUE(writer.CloseWrite());
    EXPECT_EQ(folder.Read("key.cvls").substr(0, 14),
              std::string("\x08\x00\x00\x00\x7C\x6B\x00\x00\x7F\x6B\x00\x00\xF0\xFF", 14));
    EXPECT_EQ(ReadAll(folder.File("key.cvls")), (Lines{withKey, u"", u"end"}));
}

TEST(CrypterTest, DamagedRecordsEndTheFileAndMissingFilesFail)
{
    for (const char* name : {"negative_length.cvls", "odd_length.cvls", "past_end.cvls", "truncated_count.cvls"}) {
        Crypter reader;
        ASSERT_TRUE(reader.OpenRead(Wide(std::string(VEL_TEST_DATA) + "/" + name)));
        EXPECT_EQ(reader.ReadLine(), u"before") << name;
        EXPECT_FALSE(reader.Eof()) << name;
        EXPECT_EQ(reader.ReadLine() + reader.ReadLine(), u"") << name;
        EXPECT_TRUE(reader.Eof()) << name;
    }
    EXPECT_EQ(ReadAll(std::string(VEL_TEST_DATA) + "/good.cvls"), (Lines{u"first", u"", u"last"}));

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

using NumberedLines = std::vector<std::tuple<std::u16string, int, std::size_t>>;

// Every line read to the end, with its number and its count of invalid sequences.
NumberedLines ReadNumbered(FileReader& reader, const std::string& file)
{
    EXPECT_TRUE(reader.Open(TextCodec::Utf8ToWide(file)));
    NumberedLines lines;
    while (!reader.Eof() && lines.size() < 10) {
        std::u16string text = reader.ReadLine();
        lines.emplace_back(text, reader.LineNumber(), reader.InvalidInLastLine());
    }
    return lines;
}

TEST(FileReaderTest, CountsInvalidSequencesDropsOneByteOrderMarkAndKeepsCarriageReturnsAndLongLines)
{
    FileReader reader;
    EXPECT_EQ(ReadNumbered(reader, VEL_TEST_DATA "/invalid_utf8.vls"), (NumberedLines{{u"ok", 1, 0},
                                                                                      {u"bad \uFFFD here", 2, 1},
                                                                                      {u"\u00E9 fine", 3, 0},
                                                                                      {u"two \uFFFD\uFFFD bad", 4, 2},
                                                                                      {u"", 5, 0}}));
    // The file starts with two byte order marks; only the first goes.
    EXPECT_EQ(ReadNumbered(reader, VEL_TEST_DATA "/bom_crlf.vls"),
              (NumberedLines{{u"\uFEFFone\r", 1, 0}, {u"two\r", 2, 0}, {u"", 3, 0}}));

    TestTools::TempFolder folder;
    folder.Write("long.vls", std::string(100000, 'w'));
    EXPECT_EQ(std::get<0>(ReadNumbered(reader, folder.File("long.vls")).at(0)).size(), 100000u);
    EXPECT_FALSE(reader.Open(TextCodec::Utf8ToWide(folder.File("absent.vls"))));
    EXPECT_TRUE(reader.Eof());
    EXPECT_EQ(reader.ReadLine(), u"");
    EXPECT_FALSE(reader.Open(TextCodec::Utf8ToWide(folder.Path().string())));
}

} // namespace
} // namespace Vel
