#include "data/FileReader.h"

#include "TempFolder.h"
#include "app/TextCodec.h"

#include <gtest/gtest.h>

namespace Vel {
namespace {

using Lines = std::vector<std::tuple<std::u16string, int, std::size_t>>;

// Every line read to the end, with its number and its count of invalid sequences.
Lines ReadAll(FileReader& reader, const std::string& file)
{
    EXPECT_TRUE(reader.Open(TextCodec::Utf8ToWide(file)));
    Lines lines;
    while (!reader.Eof() && lines.size() < 10) {
        std::u16string text = reader.ReadLine();
        lines.emplace_back(text, reader.LineNumber(), reader.InvalidInLastLine());
    }
    return lines;
}

TEST(FileReaderTest, CountsInvalidSequencesDropsOneByteOrderMarkAndKeepsCarriageReturns)
{
    FileReader reader;
    EXPECT_EQ(ReadAll(reader, VEL_TEST_DATA "/invalid_utf8.vls"), (Lines{{u"ok", 1, 0},
                                                                         {u"bad \uFFFD here", 2, 1},
                                                                         {u"\u00E9 fine", 3, 0},
                                                                         {u"two \uFFFD\uFFFD bad", 4, 2},
                                                                         {u"", 5, 0}}));
    // The file starts with two byte order marks; only the first goes.
    EXPECT_EQ(ReadAll(reader, VEL_TEST_DATA "/bom_crlf.vls"),
              (Lines{{u"\uFEFFone\r", 1, 0}, {u"two\r", 2, 0}, {u"", 3, 0}}));
}

TEST(FileReaderTest, LongLinesAndMissingFiles)
{
    TestTools::TempFolder folder;
    folder.Write("long.vls", std::string(100000, 'w'));
    FileReader reader;
    EXPECT_EQ(std::get<0>(ReadAll(reader, folder.File("long.vls")).at(0)).size(), 100000u);
    EXPECT_FALSE(reader.Open(TextCodec::Utf8ToWide(folder.File("absent.vls"))));
    EXPECT_TRUE(reader.Eof());
    EXPECT_EQ(reader.ReadLine(), u"");
    EXPECT_FALSE(reader.Open(TextCodec::Utf8ToWide(folder.Path().string())));
}

} // namespace
} // namespace Vel
