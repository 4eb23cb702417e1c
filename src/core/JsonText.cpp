#include "core/JsonText.h"

#include "core/TextCodec.h"

#include <cstdio>
#include <fstream>

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

bool WriteJsonFile(const std::string& fileName, const std::string& json, std::string& error)
{
    const std::string temporary = fileName + ".new";
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file << json;
    file.close();
    if (!file || std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = "cannot write " + fileName;
        return false;
    }
    return true;
}

} // namespace Vel
