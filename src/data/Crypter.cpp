#include "data/Crypter.h"

#include "core/TextCodec.h"
#include "data/LoadFile.h"

#include <limits>

namespace Vel {

namespace {

void AppendInt32(std::string& out, std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>(bits >> shift & 0xFF));
}

std::uint32_t ReadUint32(const char* data)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

} // namespace

Crypter::~Crypter()
{
    if (m_output.is_open())
        m_output.close();
}

bool Crypter::OpenRead(const std::u16string& name)
{
    m_name = name;
    m_position = 0;
    std::optional<std::string> bytes = LoadFile(TextCodec::WideToUtf8(name));
    m_data = bytes ? std::move(*bytes) : std::string();
    return bytes.has_value();
}

bool Crypter::OpenWrite(const std::u16string& name)
{
    m_name = name;
    if (m_output.is_open())
        m_output.close();
    m_output.clear();
    m_output.open(TextCodec::WideToUtf8(name), std::ios::binary | std::ios::trunc);
    m_writeFailed = !m_output.is_open();
    return !m_writeFailed;
}

std::u16string Crypter::ReadLine()
{
    if (Eof())
        return {};
    if (m_data.size() - m_position < 4) {
        m_position = m_data.size();
        return {};
    }
    const auto length = static_cast<std::int32_t>(ReadUint32(m_data.data() + m_position));
    m_position += 4;
    if (length == kEmptyLine)
        return {};
    const bool damaged = length < 0 || length % 2 != 0 || static_cast<std::size_t>(length) > m_data.size() - m_position;
    if (damaged) {
        // Nothing after a damaged count can be trusted to start a record.
        m_position = m_data.size();
        return {};
    }
    std::u16string line(static_cast<std::size_t>(length) / 2, u'\0');
    const char* bytes = m_data.data() + m_position;
    for (std::size_t index = 0; index < line.size(); ++index) {
        const auto low = static_cast<unsigned char>(bytes[2 * index]);
        const auto high = static_cast<unsigned char>(bytes[2 * index + 1]);
        line[index] = static_cast<char16_t>((low | high << 8) ^ kKey);
    }
    m_position += static_cast<std::size_t>(length);
    return line;
}

bool Crypter::WriteLine(std::u16string_view line)
{
    if (!m_output.is_open() || m_writeFailed)
        return false;
    if (line.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2)) {
        m_writeFailed = true;
        return false;
    }
    m_record.clear();
    AppendInt32(m_record, line.empty() ? kEmptyLine : static_cast<std::int32_t>(line.size() * 2));
    for (const char16_t unit : line) {
        const auto scrambled = static_cast<char16_t>(unit ^ kKey);
        m_record.push_back(static_cast<char>(scrambled & 0xFF));
        m_record.push_back(static_cast<char>(scrambled >> 8));
    }
    m_output.write(m_record.data(), static_cast<std::streamsize>(m_record.size()));
    m_writeFailed = !m_output;
    return !m_writeFailed;
}

bool Crypter::Eof() const
{
    return m_position >= m_data.size();
}

bool Crypter::CloseWrite()
{
    if (!m_output.is_open())
        return false;
    m_output.close();
    const bool written = !m_writeFailed && !m_output.fail();
    m_writeFailed = false;
    return written;
}

std::u16string Crypter::Scramble(std::u16string_view line)
{
    std::u16string scrambled(line);
    for (char16_t& unit : scrambled)
        unit = static_cast<char16_t>(unit ^ kKey);
    return scrambled;
}

} // namespace Vel
