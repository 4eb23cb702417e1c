#include "data/utf8_codecvt_facet.h"

#include "app/TextCodec.h"

#include <gtest/gtest.h>

#include <iterator>
#include <locale>
#include <sstream>
#include <string>

namespace Vel {
namespace {

using Facet = utf8_codecvt_facet;
constexpr char16_t R = 0xFFFD;

struct InResult
{
    std::codecvt_base::result result;
    std::size_t consumed;
    std::u16string produced;
};

InResult In(const Facet& facet, std::string_view bytes, std::size_t room)
{
    std::mbstate_t state{};
    std::u16string out(room, u'\0');
    const char* fromNext = nullptr;
    char16_t* toNext = nullptr;
    const auto result =
        facet.in(state, bytes.data(), bytes.data() + bytes.size(), fromNext, out.data(), out.data() + room, toNext);
    out.resize(static_cast<std::size_t>(toNext - out.data()));
    return {result, static_cast<std::size_t>(fromNext - bytes.data()), out};
}

struct OutResult
{
    std::codecvt_base::result result;
    std::size_t consumed;
    std::string produced;
};

OutResult Out(const Facet& facet, std::u16string_view units, std::size_t room)
{
    std::mbstate_t state{};
    std::string out(room, '\0');
    const char16_t* fromNext = nullptr;
    char* toNext = nullptr;
    const auto result =
        facet.out(state, units.data(), units.data() + units.size(), fromNext, out.data(), out.data() + room, toNext);
    out.resize(static_cast<std::size_t>(toNext - out.data()));
    return {result, static_cast<std::size_t>(fromNext - units.data()), out};
}

TEST(Utf8CodecvtFacetTest, DecodesWithTheSameRulesAsTextCodec)
{
    const Facet facet;
    for (const std::string_view bytes :
         {std::string_view("plain"), std::string_view("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"),
          std::string_view("a\x80z"), std::string_view("\xC0\x80\xE0\x80\xAF"), std::string_view("\xED\xA0\x80"),
          std::string_view("\xF4\x8F\xBF\xBF\xF4\x90\x80\x80"), std::string_view("\xFE\xFF"),
          std::string_view("\xE2\x82"
                           "A")}) {
        const InResult decoded = In(facet, bytes, 64);
        EXPECT_EQ(decoded.result, std::codecvt_base::ok);
        EXPECT_EQ(decoded.consumed, bytes.size());
        EXPECT_EQ(decoded.produced, TextCodec::Utf8ToWide(bytes));
    }
}

TEST(Utf8CodecvtFacetTest, InStopsPartialAtIncompleteInputOrFullOutput)
{
    const Facet facet;
    // A sequence cut by the end of the input waits, unconsumed, for the next buffer.
    InResult cut = In(facet, "ab\xF0\x9F\x98", 16);
    EXPECT_EQ(cut.result, std::codecvt_base::partial);
    EXPECT_EQ(cut.consumed, 2U);
    EXPECT_EQ(cut.produced, u"ab");
    // A pair is not split over a full output.
    InResult full = In(facet, "a\xF0\x9F\x98\x80", 2);
    EXPECT_EQ(full.result, std::codecvt_base::partial);
    EXPECT_EQ(full.consumed, 1U);
    EXPECT_EQ(full.produced, u"a");
    InResult fits = In(facet,
                       "\xF0\x9F\x98\x80"
                       "b",
                       2);
    EXPECT_EQ(fits.result, std::codecvt_base::partial);
    EXPECT_EQ(fits.consumed, 4U);
    EXPECT_EQ(fits.produced, std::u16string({0xD83D, 0xDE00}));
    // Invalid bytes are no error: they become U+FFFD.
    InResult invalid = In(facet, "\xFF", 1);
    EXPECT_EQ(invalid.result, std::codecvt_base::ok);
    EXPECT_EQ(invalid.produced, std::u16string({R}));
}

TEST(Utf8CodecvtFacetTest, OutEncodesPairsAndNeverWritesHalfASequence)
{
    const Facet facet;
    OutResult pair = Out(facet, std::u16string({u'a', 0xD83D, 0xDE00}), 16);
    EXPECT_EQ(pair.result, std::codecvt_base::ok);
    EXPECT_EQ(pair.produced, "a\xF0\x9F\x98\x80");
    OutResult lone = Out(facet, std::u16string({0xDE00, u'b'}), 16);
    EXPECT_EQ(lone.result, std::codecvt_base::ok);
    EXPECT_EQ(lone.produced, "\xEF\xBF\xBD"
                             "b");
    // A high surrogate at the end of the input may be completed by the next call.
    OutResult waiting = Out(facet, std::u16string({u'c', 0xD83D}), 16);
    EXPECT_EQ(waiting.result, std::codecvt_base::partial);
    EXPECT_EQ(waiting.consumed, 1U);
    EXPECT_EQ(waiting.produced, "c");
    OutResult tight = Out(facet, u"a\u20AC", 3);
    EXPECT_EQ(tight.result, std::codecvt_base::partial);
    EXPECT_EQ(tight.consumed, 1U);
    EXPECT_EQ(tight.produced, "a");
}

TEST(Utf8CodecvtFacetTest, ReportsItsShape)
{
    const Facet facet;
    EXPECT_EQ(facet.encoding(), 0);
    EXPECT_EQ(facet.max_length(), 4);
    EXPECT_FALSE(facet.always_noconv());
    std::mbstate_t state{};
    char buffer[4];
    char* next = nullptr;
    EXPECT_EQ(facet.unshift(state, buffer, buffer + 4, next), std::codecvt_base::noconv);
    EXPECT_EQ(next, buffer);

    const std::string_view bytes = "a\xC3\xA9\xF0\x9F\x98\x80\xE2\x82";
    const auto length = [&](std::size_t max) {
        std::mbstate_t lengthState{};
        return facet.length(lengthState, bytes.data(), bytes.data() + bytes.size(), max);
    };
    EXPECT_EQ(length(0), 0);
    EXPECT_EQ(length(1), 1);
    EXPECT_EQ(length(2), 3);
    EXPECT_EQ(length(3), 3); // the pair needs two units
    EXPECT_EQ(length(4), 7);
    EXPECT_EQ(length(100), 7); // the cut sequence at the end is no whole character
}

TEST(Utf8CodecvtFacetTest, WorksInsideAStreamAcrossBufferBoundaries)
{
    std::string utf8;
    for (int repeat = 0; repeat < 3000; ++repeat)
        utf8 += "x\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xFF";
    std::stringbuf bytes(utf8);
    std::wbuffer_convert<Facet, char16_t> reader(&bytes);
    std::basic_istream<char16_t> input(&reader);
    const std::u16string decoded{std::istreambuf_iterator<char16_t>(input), std::istreambuf_iterator<char16_t>()};
    EXPECT_EQ(decoded, TextCodec::Utf8ToWide(utf8));

    std::stringbuf written;
    {
        std::wbuffer_convert<Facet, char16_t> writer(&written);
        std::basic_ostream<char16_t> output(&writer);
        output << decoded;
        output.flush();
    }
    EXPECT_EQ(written.str(), TextCodec::WideToUtf8(decoded));
}

} // namespace
} // namespace Vel
