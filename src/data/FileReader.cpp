#include "data/FileReader.h"

#include "core/TextCodec.h"
#include "data/LoadFile.h"

#include <cstring>

namespace Vel {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

bool FileReader::Open(const std::u16string& name)
{
    m_name = name;
    std::optional<std::string> bytes = LoadFile(TextCodec::WideToUtf8(name));
    OpenBytes(bytes ? std::move(*bytes) : std::string());
    m_eof = !bytes;
    return bytes.has_value();
}

void FileReader::OpenBytes(std::string bytes)
{
    m_position = 0;
    m_lineNumber = 0;
    m_invalidInLastLine = 0;
    m_data = std::move(bytes);
    m_eof = false;
    if (std::string_view(m_data).substr(0, kByteOrderMark.size()) == kByteOrderMark)
        m_position = kByteOrderMark.size();
}

std::u16string FileReader::ReadLine()
{
    m_invalidInLastLine = 0;
    if (m_eof)
        return {};
    ++m_lineNumber;
    if (m_position >= m_data.size()) {
        m_eof = true;
        return {};
    }
    const char* start = m_data.data() + m_position;
    const std::size_t left = m_data.size() - m_position;
    const auto* feed = static_cast<const char*>(std::memchr(start, '\n', left));
    const std::size_t length = feed ? static_cast<std::size_t>(feed - start) : left;
    m_position += feed ? length + 1 : length;
    return TextCodec::Utf8ToWide(std::string_view(start, length), &m_invalidInLastLine);
}

} // namespace Vel
