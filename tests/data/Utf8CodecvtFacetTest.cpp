#include "data/utf8_codecvt_facet.h"

#include <gtest/gtest.h>

#include <locale>
#include <string>
#include <tuple>

namespace Vel {
namespace {

using Facet = utf8_codecvt_facet;
constexpr auto kOk = std::codecvt_base::ok;
constexpr auto kPartial = std::codecvt_base::partial;

// One in() or out() call with room for that many units: the result, the units consumed and the units produced.
template <typename From, typename To>
std::tuple<std::codecvt_base::result, std::size_t, std::basic_string<To>> Convert(std::basic_string_view<From> from,
                                                                                  std::size_t room)
{
    const Facet facet;
    std::mbstate_t state{};
    std::basic_string<To> out(room, To{});
    const From* fromNext = nullptr;
    To* toNext = nullptr;
    std::codecvt_base::result result;
    if constexpr (std::is_same_v<From, char>)
        result =
            facet.in(state, from.data(), from.data() + from.size(), fromNext, out.data(), out.data() + room, toNext);
    else
        result =
            facet.out(state, from.data(), from.data() + from.size(), fromNext, out.data(), out.data() + room, toNext);
    out.resize(static_cast<std::size_t>(toNext - out.data()));
    return {result, static_cast<std::size_t>(fromNext - from.data()), out};
}

auto In(std::string_view bytes, std::size_t room)
{
    return Convert<char, char16_t>(bytes, room);
}

auto Out(std::u16string_view units, std::size_t room)
{
    return Convert<char16_t, char>(units, room);
}

TEST(Utf8CodecvtFacetTest, NeitherDirectionSplitsASequenceOverCutInputOrFullOutput)
{
    // A sequence cut by the end of the input waits, unconsumed, for the next buffer.
    EXPECT_EQ(In("ab\xF0\x9F\x98", 16), std::make_tuple(kPartial, 2U, std::u16string(u"ab")));
    // A pair is not split over a full output.
    EXPECT_EQ(In("a\xF0\x9F\x98\x80", 2), std::make_tuple(kPartial, 1U, std::u16string(u"a")));
    EXPECT_EQ(In("\xF0\x9F\x98\x80\x62", 2), std::make_tuple(kPartial, 4U, std::u16string(u"\U0001F600")));
    // Invalid bytes are no error: they become U+FFFD, one for each byte of an overlong form (0x41 is 'A').
    EXPECT_EQ(In("\xFF\xC0\x80\x41", 4), std::make_tuple(kOk, 4U, std::u16string(u"\uFFFD\uFFFD\uFFFDA")));
    // A high surrogate at the end of the input may be completed by the next call.
    EXPECT_EQ(Out(std::u16string{u'c', 0xD83D}, 16), std::make_tuple(kPartial, 1U, std::string("c")));
    EXPECT_EQ(Out(u"a\u20AC", 3), std::make_tuple(kPartial, 1U, std::string("a")));
}

} // namespace
} // namespace Vel
