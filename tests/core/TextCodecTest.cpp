#include "core/TextCodec.h"

#include "ProcessRecordGuard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>

namespace Vel {
namespace {

constexpr char16_t R = 0xFFFD;

TEST(TextCodecTest, DecodesBoundariesAndReplacesEachInvalidSequence)
{
    std::ifstream table(VEL_TEST_DATA "/utf8_decode.txt");
    ASSERT_TRUE(table.is_open());
    for (std::string row; std::getline(table, row);) {
        if (row.empty() || row[0] == '#')
            continue;
        std::istringstream in(row);
        std::string bytes, token;
        std::u16string expected;
        while (in >> token && token != "=>")
            bytes += static_cast<char>(std::stoi(token, nullptr, 16));
        while (in >> token)
            expected += static_cast<char16_t>(std::stoi(token, nullptr, 16));
        std::size_t invalid = 99;
        EXPECT_EQ(TextCodec::Utf8ToWide(bytes, &invalid), expected) << row;
        EXPECT_EQ(invalid, static_cast<std::size_t>(std::count(expected.begin(), expected.end(), R))) << row;
    }

    const TextCodec::Step cut = TextCodec::DecodeOne("\xF0\x9F\x98", 3);
    EXPECT_EQ(cut.result, TextCodec::StepResult::Truncated);
    EXPECT_EQ(cut.length, 3);
    const TextCodec::Step broken = TextCodec::DecodeOne("\xF0\x9F\x61", 3); // 0x61 'a'
    EXPECT_EQ(broken.result, TextCodec::StepResult::Invalid);
    EXPECT_EQ(broken.length, 2);
}

TEST(TextCodecTest, EncodesPairsAndReplacesLoneSurrogates)
{
    EXPECT_EQ(TextCodec::WideToUtf8(std::u16string{u'a', 0xD83D}), "a\xEF\xBF\xBD");
    EXPECT_EQ(TextCodec::WideToUtf8(std::u16string{0xDE00, u'b'}), "\xEF\xBF\xBD\x62"); // 0x62 'b'
    EXPECT_EQ(TextCodec::WideToUtf8(std::u16string{0xD83D, u'c'}), "\xEF\xBF\xBD\x63");
    EXPECT_EQ(TextCodec::WideToUtf8(std::u16string{0xD83D, 0xD83D, 0xDE00}), "\xEF\xBF\xBD\xF0\x9F\x98\x80");

    // Every boundary code point survives the round trip (the bytes are those of the decoder's table).
    for (const char32_t codePoint :
         {0x7FU, 0x80U, 0x7FFU, 0x800U, 0xD7FFU, 0xE000U, 0xFFFDU, 0xFFFFU, 0x10000U, 0x10FFFFU}) {
        char bytes[4];
        const std::string utf8(bytes, TextCodec::EncodeOne(codePoint, bytes));
        const std::u16string wide = TextCodec::Utf8ToWide(utf8);
        EXPECT_EQ(TextCodec::WideToUtf8(wide), utf8) << std::hex << static_cast<std::uint32_t>(codePoint);
        EXPECT_EQ(TextCodec::DecodeOneWide(wide.data(), wide.size()).codePoint, codePoint);
    }
}

TEST(TextCodecTest, CodePagesTurnMissingCharactersIntoQuestionMarks)
{
    TestTools::ProcessRecordGuard records;
    ASSERT_EQ(TextCodec::CodePage(), "CP1252");
    EXPECT_EQ(TextCodec::WideToCodePage(u"caf\u00E9 \u20AC5"), "caf\xE9 \x80\x35"); // 0x35 '5'
    // iconv stops at the first unmappable character; every one of them must become '?' and the rest go on.
    EXPECT_EQ(TextCodec::WideToCodePage(u"a\u0416b\u4E2Dc"), "a?b?c");
    EXPECT_EQ(TextCodec::WideToCodePage(u"x\U0001F600y"), "x?y");
    EXPECT_EQ(TextCodec::WideToCodePage(std::u16string{0xDE00}), "?");
    EXPECT_EQ(TextCodec::CodePageToWide("caf\xE9 \x80"), u"caf\u00E9 \u20AC");
    EXPECT_EQ(TextCodec::CodePageToWide("\x81"), std::u16string({R}));

    // Only known single-byte code pages are taken.
    for (const char* refused : {"NO-SUCH-CODE-PAGE", "", "UTF-8", "UTF-16LE", "SHIFT_JIS"})
        EXPECT_FALSE(TextCodec::SetCodePage(refused)) << refused;
    EXPECT_EQ(TextCodec::CodePage(), "CP1252");
    ASSERT_TRUE(TextCodec::SetCodePage("CP1251"));
    EXPECT_EQ(TextCodec::WideToCodePage(u"\u0416\u00E9"), "\xC6?");
    EXPECT_EQ(TextCodec::CodePageToWide("\xC6"), u"\u0416");
}

} // namespace
} // namespace Vel
