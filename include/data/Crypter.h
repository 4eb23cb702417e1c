#pragma once

// Compiled scripts ("*.cvls"): a sequence of records, each an int32 little-endian byte count followed by the
// line's UTF-16LE code units XORed with kKey; the count -16 marks an empty line and has no data. Reads from the
// disk first, then from the attached archives (through the 2D library, when HgeManager exists). CompileScripts
// writes these files and the parser reads them.

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

    // Reads the whole file at once; false, with nothing to read, when neither the disk nor an archive has it.
    bool OpenRead(const std::u16string& name);
    // Creates or truncates the file.
    bool OpenWrite(const std::u16string& name);
    // The next line; an empty line at the end of the data or after a damaged record (a count that is odd,
    // negative other than kEmptyLine, or runs past the end), which also ends the data.
    std::u16string ReadLine();
    // False when the line could not be written.
    bool WriteLine(std::u16string_view line);
    // True once every record has been read, or after a damaged one.
    [[nodiscard]] bool Eof() const;
    // Closes the output (flushing it); false when anything written was lost.
    bool CloseWrite();

    // Every code unit XOR kKey; applying it twice gives the line back.
    [[nodiscard]] static std::u16string Scramble(std::u16string_view line);

private:
    std::u16string m_name;
    std::string m_data; // the whole compiled file, read at OpenRead
    std::size_t m_position = 0;
    std::ofstream m_output;
    bool m_writeFailed = false;
    std::string m_record; // reused for every written record
};

} // namespace Vel
