#pragma once

// Script sources ("*.vls"): UTF-8 text read line by line into wide strings, from the disk or, when the file is not
// there, from the attached archives. A byte order mark before the first line is dropped; a carriage return before
// a line feed stays at the end of its line; invalid bytes become U+FFFD and are counted per line. CompileScripts
// reads every source through it.

#include <cstddef>
#include <string>

namespace Vel {

class FileReader
{
public:
    FileReader() = default;
    virtual ~FileReader() = default;

    // False, with no lines to read, when neither the disk nor an archive has the file.
    bool Open(const std::u16string& name);
    // Reads the lines of text already loaded, as Open does those of a file.
    void OpenBytes(std::string bytes);
    // The next line without its line feed. Once no data is left it returns an empty line and Eof() turns true, so
    // the loop "while (!Eof()) use(ReadLine())" sees one empty line after the last one, as a stream reader would.
    std::u16string ReadLine();
    [[nodiscard]] bool Eof() const { return m_eof; }

    // 1-based number of the line the last ReadLine returned.
    [[nodiscard]] int LineNumber() const { return m_lineNumber; }
    // Invalid UTF-8 sequences in the line the last ReadLine returned.
    [[nodiscard]] std::size_t InvalidInLastLine() const { return m_invalidInLastLine; }

private:
    std::u16string m_name;
    std::string m_data; // the whole file as read
    std::size_t m_position = 0;
    bool m_eof = true;
    int m_lineNumber = 0;
    std::size_t m_invalidInLastLine = 0;
};

} // namespace Vel
