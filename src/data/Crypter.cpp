#include "data/Crypter.h"

#include "core/TextCodec.h"
#include "data/LoadFile.h"

#include <algorithm>
#include <filesystem>
#include <limits>
#include <system_error>

namespace Vel {

namespace {

// A compiled script is read in pieces of this size: a long story is not held twice, as bytes and as statements.
constexpr std::size_t kReadPiece = 64 * 1024;

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
    m_data.clear();
    EndData();
    const std::string utf8Name = TextCodec::WideToUtf8(name);
    // A directory opens as a stream on this system and reports a nonsense size.
    std::error_code error;
    if (std::filesystem::is_regular_file(utf8Name, error)) {
        m_input.open(utf8Name, std::ios::binary);
        m_input.seekg(0, std::ios::end);
        const std::streamoff size = m_input.tellg();
        m_input.seekg(0, std::ios::beg);
        if (m_input && size >= 0) {
            m_unread = static_cast<std::uint64_t>(size);
            return true;
        }
        EndData();
    }
    std::optional<std::string> bytes = LoadFile(utf8Name);
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
    std::u16string line;
    ReadLine(line);
    return line;
}

void Crypter::ReadLine(std::u16string& line)
{
    line.clear();
    if (Eof())
        return;
    if (!Buffer(4)) {
        EndData();
        m_position = m_data.size();
        return;
    }
    const auto length = static_cast<std::int32_t>(ReadUint32(m_data.data() + m_position));
    m_position += 4;
    if (length == kEmptyLine)
        return;
    if (length < 0 || length % 2 != 0 || !Buffer(static_cast<std::size_t>(length))) {
        // Nothing after a damaged count can be trusted to start a record.
        EndData();
        m_position = m_data.size();
        return;
    }
    line.resize(static_cast<std::size_t>(length) / 2);
    const char* bytes = m_data.data() + m_position;
    for (std::size_t index = 0; index < line.size(); ++index) {
        const auto low = static_cast<unsigned char>(bytes[2 * index]);
        const auto high = static_cast<unsigned char>(bytes[2 * index + 1]);
        line[index] = static_cast<char16_t>((low | high << 8) ^ kKey);
    }
    m_position += static_cast<std::size_t>(length);
}

bool Crypter::Buffer(std::size_t count)
{
    const std::size_t buffered = m_data.size() - m_position;
    if (buffered >= count)
        return true;
    if (count - buffered > m_unread)
        return false;
    m_data.erase(0, m_position);
    m_position = 0;
    const auto take =
        static_cast<std::size_t>(std::min<std::uint64_t>(m_unread, std::max(count - buffered, kReadPiece)));
    m_data.resize(buffered + take);
    m_unread -= take;
    if (!m_input.read(m_data.data() + buffered, static_cast<std::streamsize>(take))) {
        // The file shrank while it was read: what did arrive is all there is.
        m_data.resize(buffered + static_cast<std::size_t>(std::max<std::streamsize>(m_input.gcount(), 0)));
        EndData();
        return m_data.size() >= count;
    }
    return true;
}

void Crypter::EndData()
{
    m_unread = 0;
    if (m_input.is_open())
        m_input.close();
    m_input.clear();
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
    m_record.resize(4 + line.size() * 2);
    char* out = m_record.data() + 4;
    for (const char16_t unit : line) {
        const auto scrambled = static_cast<char16_t>(unit ^ kKey);
        *out++ = static_cast<char>(scrambled & 0xFF);
        *out++ = static_cast<char>(scrambled >> 8);
    }
    m_output.write(m_record.data(), static_cast<std::streamsize>(m_record.size()));
    m_writeFailed = !m_output;
    return !m_writeFailed;
}

bool Crypter::Eof() const
{
    return m_position >= m_data.size() && m_unread == 0;
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
