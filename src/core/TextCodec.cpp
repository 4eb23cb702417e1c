#include "core/TextCodec.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <memory>
#include <vector>

namespace Vel {

namespace {

constexpr char32_t kReplacementPoint = 0xFFFD;

bool IsHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

// The range the second byte of a multi-byte sequence must lie in: narrower than 80..BF after the lead bytes whose
// full range would admit overlong forms (E0, F0), surrogates (ED) or values above U+10FFFF (F4).
struct LeadInfo
{
    std::uint8_t following = 0; // continuation bytes after the lead; 0 marks a byte that cannot start a sequence
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    char32_t initial = 0;
};

LeadInfo ClassifyLead(unsigned char lead)
{
    if (lead >= 0xC2 && lead <= 0xDF)
        return {1, 0x80, 0xBF, static_cast<char32_t>(lead & 0x1F)};
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return {2, low, high, static_cast<char32_t>(lead & 0x0F)};
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return {3, low, high, static_cast<char32_t>(lead & 0x07)};
    }
    return {};
}

// Byte <-> UTF-16 tables of the current code page, filled once per SetCodePage from iconv so that conversions never
// meet iconv's stop at the first unmappable character.
struct CodePageTables
{
    std::string name;
    std::array<char16_t, 256> toWide{};
    std::vector<std::int16_t> fromWide = std::vector<std::int16_t>(0x10000, -1); // byte, or -1 when unmapped
};

enum class ByteDecode
{
    Mapped,
    Undefined,
    NotSingleByte
};

ByteDecode DecodeCodePageByte(iconv_t cd, unsigned char byte, char32_t& codePoint)
{
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char input = static_cast<char>(byte);
    unsigned char output[16] = {};
    char* in = &input;
    char* out = reinterpret_cast<char*>(output);
    std::size_t inLeft = 1;
    std::size_t outLeft = sizeof(output);
    if (iconv(cd, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1))
        return errno == EILSEQ ? ByteDecode::Undefined : ByteDecode::NotSingleByte;
    // Flushing first lets code pages that hold a letter back for a combining mark (CP1258) hand it out; one byte
    // must then have given exactly one character.
    if (iconv(cd, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1) || sizeof(output) - outLeft != 4)
        return ByteDecode::NotSingleByte;
    codePoint = static_cast<char32_t>(output[0] | output[1] << 8 | output[2] << 16 | output[3] << 24);
    return ByteDecode::Mapped;
}

std::unique_ptr<CodePageTables> BuildTables(const std::string& name)
{
    const iconv_t cd = iconv_open("UTF-32LE", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1))
        return nullptr;
    auto tables = std::make_unique<CodePageTables>();
    tables->name = name;
    bool singleByte = true;
    for (int byte = 0; byte < 256 && singleByte; ++byte) {
        char32_t codePoint = 0;
        const ByteDecode decoded = DecodeCodePageByte(cd, static_cast<unsigned char>(byte), codePoint);
        singleByte = decoded != ByteDecode::NotSingleByte;
        const bool usable = decoded == ByteDecode::Mapped && codePoint < 0x10000 && !IsHighSurrogate(codePoint) &&
                            !IsLowSurrogate(codePoint);
        tables->toWide[byte] = usable ? static_cast<char16_t>(codePoint) : TextCodec::kReplacement;
        // The first byte of a character wins when a code page maps it twice.
        if (usable && tables->fromWide[codePoint] < 0)
            tables->fromWide[codePoint] = static_cast<std::int16_t>(byte);
    }
    iconv_close(cd);
    return singleByte ? std::move(tables) : nullptr;
}

// Used only when this system's iconv lacks the default code page: Latin-1 maps every byte to itself.
std::unique_ptr<CodePageTables> BuildLatin1Tables()
{
    auto tables = std::make_unique<CodePageTables>();
    tables->name = "ISO-8859-1";
    for (int byte = 0; byte < 256; ++byte) {
        tables->toWide[byte] = static_cast<char16_t>(byte);
        tables->fromWide[byte] = static_cast<std::int16_t>(byte);
    }
    return tables;
}

std::unique_ptr<CodePageTables>& CurrentTables()
{
    static std::unique_ptr<CodePageTables> s_tables;
    if (!s_tables) {
        s_tables = BuildTables("CP1252");
        if (!s_tables)
            s_tables = BuildLatin1Tables();
    }
    return s_tables;
}

} // namespace

TextCodec::Step TextCodec::DecodeOne(const char* bytes, std::size_t size)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    if (data[0] < 0x80)
        return {data[0], 1, StepResult::Valid};
    const LeadInfo lead = ClassifyLead(data[0]);
    if (lead.following == 0)
        return {kReplacementPoint, 1, StepResult::Invalid};
    char32_t value = lead.initial;
    unsigned char low = lead.low;
    unsigned char high = lead.high;
    for (std::size_t index = 1; index <= lead.following; ++index) {
        if (index >= size)
            return {kReplacementPoint, static_cast<std::uint8_t>(size), StepResult::Truncated};
        if (data[index] < low || data[index] > high)
            return {kReplacementPoint, static_cast<std::uint8_t>(index), StepResult::Invalid};
        value = value << 6 | (data[index] & 0x3F);
        low = 0x80;
        high = 0xBF;
    }
    return {value, static_cast<std::uint8_t>(lead.following + 1), StepResult::Valid};
}

TextCodec::Step TextCodec::DecodeOneWide(const char16_t* units, std::size_t size)
{
    const char32_t first = units[0];
    if (IsLowSurrogate(first))
        return {kReplacementPoint, 1, StepResult::Invalid};
    if (!IsHighSurrogate(first))
        return {first, 1, StepResult::Valid};
    if (size < 2)
        return {kReplacementPoint, 1, StepResult::Truncated};
    const char32_t second = units[1];
    if (!IsLowSurrogate(second))
        return {kReplacementPoint, 1, StepResult::Invalid};
    return {0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00), 2, StepResult::Valid};
}

std::size_t TextCodec::EncodeOne(char32_t codePoint, char* out)
{
    if (codePoint > 0x10FFFF || IsHighSurrogate(codePoint) || IsLowSurrogate(codePoint))
        codePoint = kReplacementPoint;
    if (codePoint < 0x80) {
        out[0] = static_cast<char>(codePoint);
        return 1;
    }
    if (codePoint < 0x800) {
        out[0] = static_cast<char>(0xC0 | codePoint >> 6);
        out[1] = static_cast<char>(0x80 | (codePoint & 0x3F));
        return 2;
    }
    if (codePoint < 0x10000) {
        out[0] = static_cast<char>(0xE0 | codePoint >> 12);
        out[1] = static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
        out[2] = static_cast<char>(0x80 | (codePoint & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | codePoint >> 18);
    out[1] = static_cast<char>(0x80 | (codePoint >> 12 & 0x3F));
    out[2] = static_cast<char>(0x80 | (codePoint >> 6 & 0x3F));
    out[3] = static_cast<char>(0x80 | (codePoint & 0x3F));
    return 4;
}

std::u16string TextCodec::Utf8ToWide(std::string_view utf8, std::size_t* invalidCount)
{
    // No sequence yields more code units than it has bytes, so one allocation is enough.
    std::u16string wide(utf8.size(), u'\0');
    char16_t* out = wide.data();
    std::size_t invalid = 0;
    std::size_t position = 0;
    const std::size_t size = utf8.size();
    while (position < size) {
        const auto byte = static_cast<unsigned char>(utf8[position]);
        if (byte < 0x80) {
            *out++ = byte;
            ++position;
            continue;
        }
        const Step step = DecodeOne(utf8.data() + position, size - position);
        position += step.length;
        if (step.result != StepResult::Valid) {
            ++invalid;
            *out++ = kReplacement;
        } else if (step.codePoint >= 0x10000) {
            *out++ = static_cast<char16_t>(0xD800 + ((step.codePoint - 0x10000) >> 10));
            *out++ = static_cast<char16_t>(0xDC00 + ((step.codePoint - 0x10000) & 0x3FF));
        } else {
            *out++ = static_cast<char16_t>(step.codePoint);
        }
    }
    wide.resize(static_cast<std::size_t>(out - wide.data()));
    if (invalidCount)
        *invalidCount = invalid;
    return wide;
}

std::string TextCodec::WideToUtf8(std::u16string_view wide)
{
    // At most three bytes per code unit: a pair takes four bytes for two units, U+FFFD three for one.
    std::string utf8(wide.size() * 3, '\0');
    char* out = utf8.data();
    std::size_t position = 0;
    while (position < wide.size()) {
        const char16_t unit = wide[position];
        if (unit < 0x80) {
            *out++ = static_cast<char>(unit);
            ++position;
            continue;
        }
        const Step step = DecodeOneWide(wide.data() + position, wide.size() - position);
        position += step.length;
        out += EncodeOne(step.codePoint, out);
    }
    utf8.resize(static_cast<std::size_t>(out - utf8.data()));
    return utf8;
}

bool TextCodec::SetCodePage(const std::string& iconvName)
{
    // iconv reads an empty name as the locale's own character set, which is no code page a game can name.
    if (iconvName.empty())
        return false;
    auto tables = BuildTables(iconvName);
    if (!tables)
        return false;
    CurrentTables() = std::move(tables);
    return true;
}

const std::string& TextCodec::CodePage()
{
    return CurrentTables()->name;
}

std::string TextCodec::WideToCodePage(std::u16string_view wide)
{
    const CodePageTables& tables = *CurrentTables();
    std::string bytes;
    bytes.reserve(wide.size());
    std::size_t position = 0;
    while (position < wide.size()) {
        // A surrogate pair is one character, so it becomes a single '?'.
        const Step step = DecodeOneWide(wide.data() + position, wide.size() - position);
        position += step.length;
        const bool mapped =
            step.result == StepResult::Valid && step.codePoint < 0x10000 && tables.fromWide[step.codePoint] >= 0;
        bytes.push_back(mapped ? static_cast<char>(tables.fromWide[step.codePoint]) : '?');
    }
    return bytes;
}

std::u16string TextCodec::CodePageToWide(std::string_view bytes)
{
    const CodePageTables& tables = *CurrentTables();
    std::u16string wide(bytes.size(), u'\0');
    for (std::size_t index = 0; index < bytes.size(); ++index)
        wide[index] = tables.toWide[static_cast<unsigned char>(bytes[index])];
    return wide;
}

bool IsBlank(char16_t character)
{
    return character == u' ' || character == u'\t' || character == u'\r' || character == u'\n' || character == u'\v' ||
           character == u'\f';
}

std::u16string TrimBlanks(std::u16string_view text)
{
    return std::u16string(TrimBlanksView(text));
}

std::u16string_view TrimBlanksView(std::u16string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace Vel
