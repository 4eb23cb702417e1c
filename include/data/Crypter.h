#pragma once

// Compiled scripts ("*.cvls"): a sequence of records, each an int32 little-endian byte count followed by the
// line's UTF-16LE code units XORed with kKey; the count -16 marks an empty line and has no data. Reads from the
// disk first, a piece at a time, then from the attached archives (through the 2D library, when HgeManager exists),
// whole. CompileScripts writes these files and the parser reads them.

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

namespace Vel {

class Crypter
{
public:
    static constexpr std::int32_t kEmptyLine = -16;
    static constexpr char16_t kKey = 0x6B1D;

    Crypter() = default;
    virtual ~Crypter();

    // False, with nothing to read, when neither the disk nor an archive has the file.
    bool OpenRead(const std::u16string& name);
    // Creates or truncates the file.
    bool OpenWrite(const std::u16string& name);
    // The next line; an empty line at the end of the data or after a damaged record (a count that is odd,
    // negative other than kEmptyLine, or runs past the end), which also ends the data.
    std::u16string ReadLine();
    // The same into a string the caller reuses, so reading a long script allocates once per line at most.
    void ReadLine(std::u16string& line);
    // False when the line could not be written.
    bool WriteLine(std::u16string_view line);
    // True once every record has been read, or after a damaged one.
    [[nodiscard]] bool Eof() const;
    // Closes the output (flushing it); false when anything written was lost.
    bool CloseWrite();

    // Every code unit XOR kKey; applying it twice gives the line back.
    [[nodiscard]] static std::u16string Scramble(std::u16string_view line);

private:
    // At least count bytes buffered from m_position on; false when the file ends before them.
    bool Buffer(std::size_t count);
    void EndData();

    std::u16string m_name;
    std::string m_data; // the part of the file read so far and not yet consumed, from m_position on
    std::size_t m_position = 0;
    std::ifstream m_input;      // the file on the disk while it has unread bytes
    std::uint64_t m_unread = 0; // bytes of m_input not yet in m_data
    std::ofstream m_output;
    bool m_writeFailed = false;
    std::string m_record; // reused for every written record
};

} // namespace Vel
