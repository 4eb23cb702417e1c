#include "data/utf8_codecvt_facet.h"

#include "core/TextCodec.h"

namespace Vel {

namespace {

// Code units a decoded step produces: a pair for code points above U+FFFF, otherwise one (U+FFFD included).
std::size_t UnitsOf(const TextCodec::Step& step)
{
    return step.result == TextCodec::StepResult::Valid && step.codePoint >= 0x10000 ? 2 : 1;
}

char16_t* WriteUnits(const TextCodec::Step& step, char16_t* to)
{
    if (step.result != TextCodec::StepResult::Valid) {
        *to++ = TextCodec::kReplacement;
        return to;
    }
    if (step.codePoint < 0x10000) {
        *to++ = static_cast<char16_t>(step.codePoint);
        return to;
    }
    *to++ = static_cast<char16_t>(0xD800 + ((step.codePoint - 0x10000) >> 10));
    *to++ = static_cast<char16_t>(0xDC00 + ((step.codePoint - 0x10000) & 0x3FF));
    return to;
}

} // namespace

utf8_codecvt_facet::result utf8_codecvt_facet::do_in(state_type&, const extern_type* from, const extern_type* fromEnd,
                                                     const extern_type*& fromNext, intern_type* to, intern_type* toEnd,
                                                     intern_type*& toNext) const
{
    result status = ok;
    while (from < fromEnd) {
        const TextCodec::Step step = TextCodec::DecodeOne(from, static_cast<std::size_t>(fromEnd - from));
        if (step.result == TextCodec::StepResult::Truncated) {
            status = partial;
            break;
        }
        // A pair is never split: both units go out together or the character waits for more room.
        if (static_cast<std::size_t>(toEnd - to) < UnitsOf(step)) {
            status = partial;
            break;
        }
        to = WriteUnits(step, to);
        from += step.length;
    }
    fromNext = from;
    toNext = to;
    return status;
}

utf8_codecvt_facet::result utf8_codecvt_facet::do_out(state_type&, const intern_type* from, const intern_type* fromEnd,
                                                      const intern_type*& fromNext, extern_type* to, extern_type* toEnd,
                                                      extern_type*& toNext) const
{
    result status = ok;
    while (from < fromEnd) {
        const TextCodec::Step step = TextCodec::DecodeOneWide(from, static_cast<std::size_t>(fromEnd - from));
        if (step.result == TextCodec::StepResult::Truncated) {
            // The low half of the pair may come with the next call.
            status = partial;
            break;
        }
        char bytes[4];
        const std::size_t count = TextCodec::EncodeOne(step.codePoint, bytes);
        if (static_cast<std::size_t>(toEnd - to) < count) {
            status = partial;
            break;
        }
        for (std::size_t index = 0; index < count; ++index)
            *to++ = bytes[index];
        from += step.length;
    }
    fromNext = from;
    toNext = to;
    return status;
}

utf8_codecvt_facet::result utf8_codecvt_facet::do_unshift(state_type&, extern_type* to, extern_type*,
                                                          extern_type*& toNext) const
{
    toNext = to;
    return noconv;
}

int utf8_codecvt_facet::do_length(state_type&, const extern_type* from, const extern_type* fromEnd,
                                  std::size_t max) const
{
    const extern_type* start = from;
    std::size_t units = 0;
    while (from < fromEnd) {
        const TextCodec::Step step = TextCodec::DecodeOne(from, static_cast<std::size_t>(fromEnd - from));
        if (step.result == TextCodec::StepResult::Truncated || units + UnitsOf(step) > max)
            break;
        units += UnitsOf(step);
        from += step.length;
    }
    return static_cast<int>(from - start);
}

} // namespace Vel
