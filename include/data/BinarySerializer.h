#pragma once

// The one Serializer: little-endian values back to back in a file. bool is one byte, int32 and float four bytes,
// a wide string an int32 byte count (twice its code units) followed by its UTF-16LE code units.
//
// Reading loads the whole file at construction. A damaged value (a string count that is odd, negative or longer
// than the rest of the file, or data that ends inside a value) marks the reader failed: that read and every later
// one leave their targets unchanged.
//
// Writing goes to "<name>.tmp", which replaces the file only when Commit() (or the destructor) finds that every
// write succeeded: a crash or a failed write keeps the old file.
//
// The same layout also lives in memory: a writer made without a name collects the bytes (Bytes), a reader made from
// bytes reads them, so a game state can be copied and put back without touching the disk.

#include "data/Serializer.h"

#include <fstream>
#include <string>

namespace Vel {

class BinarySerializer : public Serializer
{
public:
    enum class Direction
    {
        Read,
        Write
    };

    BinarySerializer(const std::u16string& name, Direction direction);
    // Writes into memory.
    BinarySerializer();
    // Reads the bytes a memory writer collected.
    explicit BinarySerializer(std::string bytes);
    ~BinarySerializer() override;

    BinarySerializer(const BinarySerializer&) = delete;
    BinarySerializer& operator=(const BinarySerializer&) = delete;

    void WriteString(const std::u16string& value) override;
    void WriteFloat(float value) override;
    void WriteInt(std::int32_t value) override;
    void WriteBool(bool value) override;

    void ReadString(std::u16string& value) override;
    void ReadFloat(float& value) override;
    void ReadInt(std::int32_t& value) override;
    void ReadBool(bool& value) override;

    // Whether the file (for writing: its temporary twin) opened.
    [[nodiscard]] bool IsOpen() const { return m_open; }
    // Whether a read met damaged data or the end of the file, or a write failed. A reader whose file did not open
    // is not failed: its reads do nothing, as for a player who never saved.
    [[nodiscard]] bool Failed() const override { return m_failed; }
    // Reading: the file did not open because there is none (a player who never saved), not because it cannot be
    // read.
    [[nodiscard]] bool IsMissing() const;
    // Reading: every byte of the file has been read.
    [[nodiscard]] bool AtEnd() const { return m_position >= m_data.size(); }
    // Writing only: puts the written file in place of the old one. False, keeping the old file, when the file did
    // not open or any write failed; later calls return the first answer. Reading: false.
    bool Commit();
    // A memory writer's bytes so far.
    [[nodiscard]] const std::string& Bytes() const { return m_data; }

private:
    void WriteBytes(const char* data, std::size_t size);
    void WriteUint32(std::uint32_t value);
    // The next size bytes, consumed; nullptr, marking the reader failed, when the reader did not open, has
    // failed before or fewer bytes remain.
    const char* Take(std::size_t size);
    [[nodiscard]] bool TakeUint32(std::uint32_t& value);

    Direction m_direction;
    std::string m_fileName;      // UTF-8
    std::string m_temporaryName; // UTF-8, writing only
    std::string m_data;          // the whole file when reading; the bytes written when writing into memory
    bool m_inMemory = false;
    std::size_t m_position = 0;
    std::ofstream m_output;
    bool m_open = false;
    bool m_failed = false;
    bool m_committed = false;
    bool m_commitResult = false;
};

} // namespace Vel
