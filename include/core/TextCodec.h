#pragma once

// Every text conversion of the engine: UTF-8 (scripts, file names, the log) to and from the UTF-16 wide strings
// the engine keeps, and the single-byte code page that bitmap fonts index by. Nothing else converts text.
//
// UTF-8 decoding never fails: an invalid or truncated sequence becomes U+FFFD and decoding goes on; code points
// above U+FFFF become surrogate pairs. Encoding writes a surrogate pair as one 4-byte sequence and a lone
// surrogate as U+FFFD.
//
// The blanks that statements, names and targets are trimmed of are decided here too, once for the engine.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace Vel {

class TextCodec
{
public:
    static constexpr char16_t kReplacement = 0xFFFD;

    enum class StepResult : std::uint8_t
    {
        Valid,
        Invalid,  // the step's bytes or units stand for one U+FFFD
        Truncated // the input ends inside a sequence that is well formed so far
    };
    struct Step
    {
        char32_t codePoint = 0xFFFD;
        std::uint8_t length = 1; // bytes (UTF-8) or code units (UTF-16) the step covers
        StepResult result = StepResult::Valid;
    };

    // The one UTF-8 decoding rule of the engine. Reads the sequence at the start of [bytes, bytes + size), size > 0.
    // An ill-formed sequence covers its longest well-formed prefix (at least one byte) and stands for one U+FFFD;
    // overlong forms, surrogates and values above U+10FFFF are ill-formed. Truncated covers all size bytes.
    [[nodiscard]] static Step DecodeOne(const char* bytes, std::size_t size);
    // The same for UTF-16 code units, size > 0: a lone surrogate is Invalid, a high surrogate as the last unit is
    // Truncated.
    [[nodiscard]] static Step DecodeOneWide(const char16_t* units, std::size_t size);
    // Writes the UTF-8 form of a scalar value (a surrogate or a value above U+10FFFF writes U+FFFD) into out, which
    // has room for 4 bytes; returns the number of bytes written.
    static std::size_t EncodeOne(char32_t codePoint, char* out);

    // invalidCount, when given, receives the number of U+FFFD written for invalid input.
    static std::u16string Utf8ToWide(std::string_view utf8, std::size_t* invalidCount = nullptr);
    static std::string WideToUtf8(std::u16string_view wide);

    // The single-byte code page of bitmap-font text, an iconv name ("CP1252" until set). False, keeping the
    // current one, when iconv does not know the name or it is not a single-byte code page.
    static bool SetCodePage(const std::string& iconvName);
    static const std::string& CodePage();
    // Characters the code page lacks become '?'.
    static std::string WideToCodePage(std::u16string_view wide);
    // Bytes the code page leaves undefined become U+FFFD.
    static std::u16string CodePageToWide(std::string_view bytes);

    // Plain ASCII/UTF-8 literals to wide, for messages and numbers.
    static std::u16string Widen(std::string_view utf8) { return Utf8ToWide(utf8); }
};

// Space, tab, carriage return, line feed, vertical tab and form feed; other white space (a no-break space) is text.
[[nodiscard]] bool IsBlank(char16_t character);
// The text without its leading and trailing blanks.
[[nodiscard]] std::u16string TrimBlanks(std::u16string_view text);
// The same as a view into text.
[[nodiscard]] std::u16string_view TrimBlanksView(std::u16string_view text);

} // namespace Vel
