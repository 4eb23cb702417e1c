#include "data/Translations.h"

#include "core/HgeManager.h"
#include "data/LoadFile.h"

#include <algorithm>

namespace Vel {

// Also keeps a code from reaching outside "lang/": no dots, no slashes.
bool Translations::IsCode(const std::string& code)
{
    return code.size() <= 32 && std::all_of(code.begin(), code.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                      c == '-' || c == '@';
           });
}

Translations& Translations::Get()
{
    static Translations s_translations;
    return s_translations;
}

std::string Translations::PoFileName(const std::string& code)
{
    return "lang/" + code + ".po";
}

void Translations::Use(const std::string& code)
{
    if (code == m_code)
        return;
    m_catalog.reset();
    m_fileNames.clear();
    m_code.clear();
    if (!IsCode(code)) {
        Log("language '" + code + "' is no language code; the game's own texts are shown");
        return;
    }
    m_code = code;
    if (code.empty())
        return;
    const std::string fileName = PoFileName(code);
    const std::optional<std::string> bytes = LoadFile(fileName);
    if (!bytes) {
        Log(fileName + " is missing; the game's own texts are shown");
        return;
    }
    std::string error;
    m_catalog = PoCatalog::Read(*bytes, fileName, error);
    if (!m_catalog)
        Log(error + "; the file is not used");
}

const std::u16string& Translations::Text(std::u16string_view context, const std::u16string& text) const
{
    if (!m_catalog)
        return text;
    const std::u16string* translation = m_catalog->Find(context, text);
    return translation != nullptr ? *translation : text;
}

std::string Translations::FileName(const std::string& name)
{
    if (m_code.empty() || name.empty())
        return name;
    const auto known = m_fileNames.find(name);
    if (known != m_fileNames.end())
        return known->second;
    const std::string variant = "lang/" + m_code + "/" + name;
    return m_fileNames.emplace(name, FileExists(variant) ? variant : name).first->second;
}

void Translations::Log(const std::string& line)
{
    if (m_logged.insert(line).second)
        HgeManager::Log(line);
}

} // namespace Vel
