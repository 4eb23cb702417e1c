#include "data/BinarySerializer.h"

#include "core/TextCodec.h"

#include <bit>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>

namespace Vel {

namespace {

std::string LoadWholeFile(const std::string& fileName, bool& opened)
{
    opened = false;
    std::error_code error;
    if (!std::filesystem::is_regular_file(fileName, error))
        return {};
    std::ifstream input(fileName, std::ios::binary);
    if (!input)
        return {};
    input.seekg(0, std::ios::end);
    const std::streamoff size = input.tellg();
    if (size < 0)
        return {};
    input.seekg(0, std::ios::beg);
    std::string bytes(static_cast<std::size_t>(size), '\0');
    opened = static_cast<bool>(input.read(bytes.data(), size));
    return opened ? bytes : std::string();
}

} // namespace

BinarySerializer::BinarySerializer(const std::u16string& name, Direction direction)
    : m_direction(direction), m_fileName(TextCodec::WideToUtf8(name))
{
    if (m_direction == Direction::Read) {
        m_data = LoadWholeFile(m_fileName, m_open);
        return;
    }
    m_temporaryName = m_fileName + ".tmp";
    m_output.open(m_temporaryName, std::ios::binary | std::ios::trunc);
    m_open = m_output.is_open();
}

BinarySerializer::BinarySerializer() : m_direction(Direction::Write), m_inMemory(true), m_open(true) {}

BinarySerializer::BinarySerializer(std::string bytes)
    : m_direction(Direction::Read), m_data(std::move(bytes)), m_inMemory(true), m_open(true)
{
}

bool BinarySerializer::IsMissing() const
{
    std::error_code error;
    return !m_open && !std::filesystem::exists(m_fileName, error) && !error;
}

BinarySerializer::~BinarySerializer()
{
    if (m_direction == Direction::Write)
        Commit();
}

bool BinarySerializer::Commit()
{
    if (m_direction != Direction::Write)
        return false;
    if (m_committed)
        return m_commitResult;
    m_committed = true;
    if (m_inMemory)
        return m_commitResult = !m_failed;
    if (!m_open)
        return m_commitResult = false;
    m_output.close();
    m_failed = m_failed || m_output.fail();
    if (!m_failed && std::rename(m_temporaryName.c_str(), m_fileName.c_str()) == 0)
        return m_commitResult = true;
    m_failed = true;
    std::remove(m_temporaryName.c_str());
    return m_commitResult = false;
}

void BinarySerializer::WriteBytes(const char* data, std::size_t size)
{
    if (!m_open || m_committed || m_failed || m_direction != Direction::Write)
        return;
    if (m_inMemory) {
        m_data.append(data, size);
        return;
    }
    m_output.write(data, static_cast<std::streamsize>(size));
    m_failed = !m_output;
}

void BinarySerializer::WriteUint32(std::uint32_t value)
{
    const char bytes[4] = {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF),
                           static_cast<char>(value >> 16 & 0xFF), static_cast<char>(value >> 24 & 0xFF)};
    WriteBytes(bytes, sizeof(bytes));
}

void BinarySerializer::WriteString(const std::u16string& value)
{
    if (value.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max() / 2)) {
        // A count that does not fit would make the rest of the file unreadable.
        if (m_direction == Direction::Write)
            m_failed = true;
        return;
    }
    WriteUint32(static_cast<std::uint32_t>(value.size() * 2));
    std::string bytes(value.size() * 2, '\0');
    for (std::size_t index = 0; index < value.size(); ++index) {
        bytes[2 * index] = static_cast<char>(value[index] & 0xFF);
        bytes[2 * index + 1] = static_cast<char>(value[index] >> 8);
    }
    WriteBytes(bytes.data(), bytes.size());
}

void BinarySerializer::WriteFloat(float value)
{
    WriteUint32(std::bit_cast<std::uint32_t>(value));
}

void BinarySerializer::WriteInt(std::int32_t value)
{
    WriteUint32(static_cast<std::uint32_t>(value));
}

void BinarySerializer::WriteBool(bool value)
{
    const char byte = value ? 1 : 0;
    WriteBytes(&byte, 1);
}

const char* BinarySerializer::Take(std::size_t size)
{
    if (!m_open || m_failed || m_direction != Direction::Read)
        return nullptr;
    if (m_data.size() - m_position < size) {
        m_failed = true;
        return nullptr;
    }
    const char* bytes = m_data.data() + m_position;
    m_position += size;
    return bytes;
}

bool BinarySerializer::TakeUint32(std::uint32_t& value)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(Take(4));
    if (!bytes)
        return false;
    value = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
            static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return true;
}

void BinarySerializer::ReadString(std::u16string& value)
{
    std::uint32_t count = 0;
    if (!TakeUint32(count))
        return;
    const auto byteCount = static_cast<std::int32_t>(count);
    if (byteCount < 0 || byteCount % 2 != 0) {
        m_failed = true;
        return;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(Take(static_cast<std::size_t>(byteCount)));
    if (!bytes)
        return;
    std::u16string text(static_cast<std::size_t>(byteCount) / 2, u'\0');
    for (std::size_t index = 0; index < text.size(); ++index)
        text[index] = static_cast<char16_t>(bytes[2 * index] | bytes[2 * index + 1] << 8);
    value = std::move(text);
}

void BinarySerializer::ReadFloat(float& value)
{
    std::uint32_t bits = 0;
    if (TakeUint32(bits))
        value = std::bit_cast<float>(bits);
}

void BinarySerializer::ReadInt(std::int32_t& value)
{
    std::uint32_t bits = 0;
    if (TakeUint32(bits))
        value = static_cast<std::int32_t>(bits);
}

void BinarySerializer::ReadBool(bool& value)
{
    const char* byte = Take(1);
    if (byte)
        value = *byte != 0;
}

} // namespace Vel
