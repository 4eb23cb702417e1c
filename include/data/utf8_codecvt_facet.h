#pragma once

// The conversion facet that lets standard wide streams (std::basic_filebuf<char16_t>, std::wbuffer_convert) read
// and write UTF-8 with the engine's decoding rules: code points above U+FFFF become surrogate pairs, an invalid
// sequence becomes U+FFFD and conversion goes on, a lone surrogate is written as U+FFFD. Stateless: a sequence cut
// by the end of a buffer is left unconsumed (result partial) and converted with the next one.

#include <cwchar>
#include <locale>

namespace Vel {

class utf8_codecvt_facet : public std::codecvt<char16_t, char, std::mbstate_t>
{
public:
    explicit utf8_codecvt_facet(std::size_t refs = 0) : std::codecvt<char16_t, char, std::mbstate_t>(refs) {}
    // Public, unlike the base's, so that std::wstring_convert and std::wbuffer_convert can own an instance.
    ~utf8_codecvt_facet() override = default;

protected:
    result do_in(state_type& state, const extern_type* from, const extern_type* fromEnd, const extern_type*& fromNext,
                 intern_type* to, intern_type* toEnd, intern_type*& toNext) const override;
    result do_out(state_type& state, const intern_type* from, const intern_type* fromEnd, const intern_type*& fromNext,
                  extern_type* to, extern_type* toEnd, extern_type*& toNext) const override;
    result do_unshift(state_type& state, extern_type* to, extern_type* toEnd, extern_type*& toNext) const override;
    int do_encoding() const noexcept override { return 0; }
    bool do_always_noconv() const noexcept override { return false; }
    int do_length(state_type& state, const extern_type* from, const extern_type* fromEnd,
                  std::size_t max) const override;
    // Four bytes make the longest character (a surrogate pair).
    int do_max_length() const noexcept override { return 4; }
};

} // namespace Vel
