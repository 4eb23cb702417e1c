#include "platform/IniFile.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace Vel {

namespace {

std::string Trim(const std::string& text)
{
    const char* blanks = " \t\r\n";
    std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : char(c); });
    return text;
}

} // namespace

IniFile IniFile::Parse(const std::string& text)
{
    IniFile ini;
    std::istringstream stream(text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? text.substr(3) : text);
    std::map<std::string, std::string>* section = nullptr;
    for (std::string line; std::getline(stream, line);) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line[0] == '[') {
            std::size_t close = line.find(']');
            section = close == std::string::npos ? nullptr : &ini.m_sections[Lower(Trim(line.substr(1, close - 1)))];
            continue;
        }
        std::size_t equals = line.find('=');
        if (section == nullptr || equals == std::string::npos)
            continue;
        section->emplace(Lower(Trim(line.substr(0, equals))), Trim(line.substr(equals + 1)));
    }
    return ini;
}

IniFile IniFile::Load(const std::string& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        return {};
    std::ostringstream text;
    text << file.rdbuf();
    return Parse(text.str());
}

std::optional<std::string> IniFile::Get(const std::string& section, const std::string& key) const
{
    auto found = m_sections.find(Lower(section));
    if (found == m_sections.end())
        return std::nullopt;
    auto value = found->second.find(Lower(key));
    if (value == found->second.end())
        return std::nullopt;
    return value->second;
}

} // namespace Vel
