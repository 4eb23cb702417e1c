#include "app/TextCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace Vel {
namespace {

constexpr char16_t R = 0xFFFD;

std::u16string Decode(std::string_view bytes, std::size_t expectedInvalid)
{
    std::size_t invalid = 99;
    std::u16string wide = TextCodec::Utf8ToWide(bytes, &invalid);
    EXPECT_EQ(invalid, expectedInvalid) << "for input of " << bytes.size() << " bytes";
    return wide;
}

TEST(TextCodecTest, DecodesEveryLengthAtItsBoundaries)
{
    EXPECT_EQ(Decode("plain ascii", 0), u"plain ascii");
    EXPECT_EQ(Decode("\xC2\x80", 0), u"\u0080");
    EXPECT_EQ(Decode("\xDF\xBF", 0), u"\u07FF");
    EXPECT_EQ(Decode("\xE0\xA0\x80", 0), u"\u0800");
    EXPECT_EQ(Decode("\xED\x9F\xBF", 0), u"\uD7FF");
    EXPECT_EQ(Decode("\xEE\x80\x80", 0), u"\uE000");
    EXPECT_EQ(Decode("\xEF\xBF\xBF", 0), u"\uFFFF");
    EXPECT_EQ(Decode("\xF0\x90\x80\x80", 0), std::u16string({0xD800, 0xDC00}));
    EXPECT_EQ(Decode("\xF0\x9F\x98\x80", 0), std::u16string({0xD83D, 0xDE00}));
    EXPECT_EQ(Decode("\xF4\x8F\xBF\xBF", 0), std::u16string({0xDBFF, 0xDFFF}));
    EXPECT_EQ(Decode(std::string_view("a\0b", 3), 0), std::u16string(u"a\0b", 3));
}

TEST(TextCodecTest, ReplacesInvalidSequencesAndGoesOn)
{
    // Lone continuation bytes and bytes that never start a sequence: one U+FFFD each.
    EXPECT_EQ(Decode("a\x80z", 1), std::u16string({u'a', R, u'z'}));
    EXPECT_EQ(Decode("\x80\xBF", 2), std::u16string({R, R}));
    EXPECT_EQ(Decode("\xFE\xFF", 2), std::u16string({R, R}));
    EXPECT_EQ(Decode("\xF5\x80", 2), std::u16string({R, R}));
    // Overlong forms are invalid byte by byte.
    EXPECT_EQ(Decode("\xC0\x80", 2), std::u16string({R, R}));
    EXPECT_EQ(Decode("\xC1\xBF", 2), std::u16string({R, R}));
    EXPECT_EQ(Decode("\xE0\x80\xAF", 3), std::u16string({R, R, R}));
    EXPECT_EQ(Decode("\xF0\x8F\xBF\xBF", 4), std::u16string({R, R, R, R}));
    // Surrogates encoded in UTF-8 and values above U+10FFFF.
    EXPECT_EQ(Decode("\xED\xA0\x80", 3), std::u16string({R, R, R}));
    EXPECT_EQ(Decode("\xED\xBF\xBF", 3), std::u16string({R, R, R}));
    EXPECT_EQ(Decode("\xF4\x90\x80\x80", 4), std::u16string({R, R, R, R}));
    // A sequence broken by a byte that cannot continue it: one U+FFFD, and the byte starts over.
    EXPECT_EQ(Decode("\xE2\x82"
                     "A",
                     1),
              std::u16string({R, u'A'}));
    EXPECT_EQ(Decode("\xF0\x9F\x98\xC3\xA9", 1), std::u16string({R, u'\u00E9'}));
}

TEST(TextCodecTest, TruncatedSequenceAtTheEndIsOneReplacement)
{
    EXPECT_EQ(Decode("a\xC3", 1), std::u16string({u'a', R}));
    EXPECT_EQ(Decode("a\xE2\x82", 1), std::u16string({u'a', R}));
    EXPECT_EQ(Decode("a\xF0\x9F\x98", 1), std::u16string({u'a', R}));

    const TextCodec::Step step = TextCodec::DecodeOne("\xF0\x9F\x98", 3);
    EXPECT_EQ(step.result, TextCodec::StepResult::Truncated);
    EXPECT_EQ(step.length, 3);
    const TextCodec::Step broken = TextCodec::DecodeOne("\xF0\x9F"
                                                        "a",
                                                        3);
    EXPECT_EQ(broken.result, TextCodec::StepResult::Invalid);
    EXPECT_EQ(broken.length, 2);
}

TEST(TextCodecTest, EncodesPairsAndReplacesLoneSurrogates)
{
    EXPECT_EQ(TextCodec::WideToUtf8(u"\u00E9\u20AC"), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(TextCodec::WideToUtf8(std::u16string({0xD83D, 0xDE00})), "\xF0\x9F\x98\x80");
    EXPECT_EQ(TextCodec::WideToUtf8(std::u16string({0xDBFF, 0xDFFF})), "\xF4\x8F\xBF\xBF");
    EXPECT_EQ(TextCodec::WideToUtf8(std::u16string({u'a', 0xD83D})), "a\xEF\xBF\xBD");
    EXPECT_EQ(TextCodec::WideToUtf8(std::u16string({0xDE00, u'b'})), "\xEF\xBF\xBD"
                                                                     "b");
    EXPECT_EQ(TextCodec::WideToUtf8(std::u16string({0xD83D, u'c'})), "\xEF\xBF\xBD"
                                                                     "c");
    EXPECT_EQ(TextCodec::WideToUtf8(std::u16string({0xD83D, 0xD83D, 0xDE00})), "\xEF\xBF\xBD\xF0\x9F\x98\x80");

    // Every boundary code point survives the round trip.
    for (const char32_t codePoint :
         {0x7FU, 0x80U, 0x7FFU, 0x800U, 0xD7FFU, 0xE000U, 0xFFFDU, 0xFFFFU, 0x10000U, 0x10FFFFU}) {
        char bytes[4];
        const std::size_t length = TextCodec::EncodeOne(codePoint, bytes);
        const std::u16string wide = Decode(std::string_view(bytes, length), 0);
        EXPECT_EQ(TextCodec::WideToUtf8(wide), std::string(bytes, length))
            << std::hex << static_cast<std::uint32_t>(codePoint);
        const TextCodec::Step step = TextCodec::DecodeOneWide(wide.data(), wide.size());
        EXPECT_EQ(step.codePoint, codePoint);
    }
}

class CodePageTest : public ::testing::Test
{
protected:
    void TearDown() override { ASSERT_TRUE(TextCodec::SetCodePage("CP1252")); }
};

TEST_F(CodePageTest, MissingCharactersBecomeQuestionMarks)
{
    EXPECT_EQ(TextCodec::CodePage(), "CP1252");
    EXPECT_EQ(TextCodec::WideToCodePage(u"caf\u00E9 \u20AC5"), "caf\xE9 \x80"
                                                               "5");
    // iconv stops at the first unmappable character; every one of them must become '?' and the rest go on.
    EXPECT_EQ(TextCodec::WideToCodePage(u"a\u0416b\u4E2Dc"), "a?b?c");
    EXPECT_EQ(TextCodec::WideToCodePage(std::u16string({u'x', 0xD83D, 0xDE00, u'y'})), "x?y");
    EXPECT_EQ(TextCodec::WideToCodePage(std::u16string({0xDE00})), "?");
    EXPECT_EQ(TextCodec::CodePageToWide("caf\xE9 \x80"), u"caf\u00E9 \u20AC");
    EXPECT_EQ(TextCodec::CodePageToWide("\x81"), std::u16string({R}));
}

TEST_F(CodePageTest, SetCodePageAcceptsOnlyKnownSingleByteCodePages)
{
    EXPECT_FALSE(TextCodec::SetCodePage("NO-SUCH-CODE-PAGE"));
    EXPECT_FALSE(TextCodec::SetCodePage(""));
    EXPECT_FALSE(TextCodec::SetCodePage("UTF-8"));
    EXPECT_FALSE(TextCodec::SetCodePage("UTF-16LE"));
    EXPECT_FALSE(TextCodec::SetCodePage("SHIFT_JIS"));
    EXPECT_EQ(TextCodec::CodePage(), "CP1252");

    ASSERT_TRUE(TextCodec::SetCodePage("CP1251"));
    EXPECT_EQ(TextCodec::CodePage(), "CP1251");
    EXPECT_EQ(TextCodec::WideToCodePage(u"\u0416\u00E9"), "\xC6?");
    EXPECT_EQ(TextCodec::CodePageToWide("\xC6"), u"\u0416");
}

} // namespace
} // namespace Vel
