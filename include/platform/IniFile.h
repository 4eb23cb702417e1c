#pragma once

// The simple ini files the 2D library reads for the engine: "[section]" lines, "key=value" lines, comment lines
// starting with ';' or '#'. Blanks round names and values are trimmed, CRLF line ends and a UTF-8 byte order mark
// are accepted. Section and key names compare without regard to ASCII case, as the Windows ini functions do;
// the first occurrence of a key wins.

#include <map>
#include <optional>
#include <string>

namespace Vel {

class IniFile
{
public:
    static IniFile Parse(const std::string& text);
    // An unreadable or missing file reads as an empty one.
    static IniFile Load(const std::string& fileName);

    // The value, or nothing when the section or key is missing. A key written without a value reads as "".
    [[nodiscard]] std::optional<std::string> Get(const std::string& section, const std::string& key) const;

private:
    std::map<std::string, std::map<std::string, std::string>> m_sections; // names in lower case
};

} // namespace Vel
