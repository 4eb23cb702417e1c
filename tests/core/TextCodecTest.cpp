#include "core/TextCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace Vel {
namespace {

constexpr char16_t R = 0xFFFD;

struct DecodeCase
{
    std::string_view bytes;
    std::u16string wide;
    std::size_t invalid;
};

TEST(TextCodecTest, DecodesBoundariesAndReplacesEachInvalidSequence)
{
    // clang-format off
    const DecodeCase cases[] = {
        // Every length at its boundaries, and a zero byte inside the text.
        {"plain ascii", u"plain ascii", 0}, {"\xC2\x80", u"\u0080", 0}, {"\xDF\xBF", u"\u07FF", 0},
        {"\xE0\xA0\x80", u"\u0800", 0}, {"\xED\x9F\xBF", u"\uD7FF", 0}, {"\xEE\x80\x80", u"\uE000", 0},
        {"\xEF\xBF\xBF", u"\uFFFF", 0}, {"\xF0\x90\x80\x80", {0xD800, 0xDC00}, 0},
        {"\xF0\x9F\x98\x80", {0xD83D, 0xDE00}, 0}, {"\xF4\x8F\xBF\xBF", {0xDBFF, 0xDFFF}, 0},
        {std::string_view("a\0b", 3), std::u16string(u"a\0b", 3), 0},
        // Lone continuation bytes and bytes that never start a sequence: one U+FFFD each.
        {"a\x80z", {u'a', R, u'z'}, 1}, {"\x80\xBF", {R, R}, 2}, {"\xFE\xFF", {R, R}, 2}, {"\xF5\x80", {R, R}, 2},
        // Overlong forms, surrogates and values above U+10FFFF are invalid byte by byte.
        {"\xC0\x80", {R, R}, 2}, {"\xC1\xBF", {R, R}, 2}, {"\xE0\x80\xAF", {R, R, R}, 3},
        {"\xF0\x8F\xBF\xBF", {R, R, R, R}, 4}, {"\xED\xA0\x80", {R, R, R}, 3}, {"\xED\xBF\xBF", {R, R, R}, 3},
        {"\xF4\x90\x80\x80", {R, R, R, R}, 4},
        // A sequence broken by a byte that cannot continue it: one U+FFFD, and the byte (0x41 is 'A') starts over.
        {"\xE2\x82\x41", {R, u'A'}, 1}, {"\xF0\x9F\x98\xC3\xA9", {R, u'\u00E9'}, 1},
        // A sequence cut by the end of the text: one U+FFFD.
        {"a\xC3", {u'a', R}, 1}, {"a\xE2\x82", {u'a', R}, 1}, {"a\xF0\x9F\x98", {u'a', R}, 1}};
    // clang-format on
    for (const DecodeCase& test : cases) {
        std::size_t invalid = 99;
        EXPECT_EQ(TextCodec::Utf8ToWide(test.bytes, &invalid), test.wide) << testing::PrintToString(test.bytes);
        EXPECT_EQ(invalid, test.invalid) << testing::PrintToString(test.bytes);
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

    // Every boundary code point survives the round trip (the bytes are the decoder's table above).
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
    EXPECT_TRUE(TextCodec::SetCodePage("CP1252"));
}

} // namespace
} // namespace Vel
