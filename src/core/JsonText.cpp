#include "core/JsonText.h"

#include "core/TextCodec.h"

#include <cstdio>

namespace Vel {

void AppendJsonString(std::string& out, std::string_view utf8)
{
    out += '"';
    for (const char c : TextCodec::WideToUtf8(TextCodec::Utf8ToWide(utf8))) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else {
            out += c; // UTF-8 passes through
        }
    }
    out += '"';
}

} // namespace Vel
