#include "script/ShownTexts.h"

#include "core/TextCodec.h"
#include "data/LoadFile.h"
#include "data/PoCatalog.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace Vel {

namespace {

// The inside of a PO string, with the escapes gettext reads back.
std::string Escaped(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '"':
            escaped += "\\\"";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

std::string Quoted(const std::u16string& text)
{
    return "\"" + Escaped(TextCodec::WideToUtf8(text)) + "\"";
}

// The header xgettext writes, marked fuzzy as a template's is, without a creation date: the same scripts give the
// same file, which keeps it quiet in version control.
std::string Header(const std::string& project)
{
    const std::string comment = "# Translation template of the texts of " + project + ".\n";
    const std::string name = "\"Project-Id-Version: " + Escaped(project) + "\\n\"\n";
    return comment +
           "# Written by \"velloria translate\"; make lang/CODE.po of it with a PO editor or msginit.\n"
           "#\n"
           "#, fuzzy\n"
           "msgid \"\"\n"
           "msgstr \"\"\n" +
           name +
           "\"Report-Msgid-Bugs-To: \\n\"\n"
           "\"PO-Revision-Date: YEAR-MO-DA HO:MI+ZONE\\n\"\n"
           "\"Last-Translator: FULL NAME <EMAIL@ADDRESS>\\n\"\n"
           "\"Language-Team: LANGUAGE <LL@li.org>\\n\"\n"
           "\"Language: \\n\"\n"
           "\"MIME-Version: 1.0\\n\"\n"
           "\"Content-Type: text/plain; charset=UTF-8\\n\"\n"
           "\"Content-Transfer-Encoding: 8bit\\n\"\n";
}

std::string Cited(const std::u16string& text)
{
    return "'" + TextCodec::WideToUtf8(text) + "'";
}

} // namespace

void ShownTexts::Add(std::u16string context, std::u16string text, const SourcePosition* where)
{
    if (text.empty())
        return;
    std::u16string key = PoCatalog::Key(context, text);
    auto [found, added] = m_index.emplace(std::move(key), m_texts.size());
    if (added)
        m_texts.push_back({std::move(context), std::move(text), {}});
    if (where != nullptr)
        m_texts[found->second].places.push_back(TextCodec::WideToUtf8(ParseManager::SourceName(where->fileName)) + ":" +
                                                std::to_string(where->statementLine));
}

std::string ShownTexts::Template(const std::string& project) const
{
    std::string pot = Header(project);
    for (const Text& text : m_texts) {
        pot += "\n";
        if (!text.places.empty()) {
            pot += "#:";
            for (const std::string& place : text.places)
                pot += " " + place;
            pot += "\n";
        }
        if (!text.context.empty())
            pot += "msgctxt " + Quoted(text.context) + "\n";
        pot += "msgid " + Quoted(text.text) + "\nmsgstr \"\"\n";
    }
    return pot;
}

bool ShownTexts::WriteTemplate(const std::string& fileName, const std::string& project, std::string& error) const
{
    const std::filesystem::path path(fileName);
    std::error_code failure;
    std::filesystem::create_directories(path.parent_path(), failure);
    const std::string temporary = fileName + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << Template(project);
        if (out.flush() && std::rename(temporary.c_str(), fileName.c_str()) == 0)
            return true;
    }
    std::remove(temporary.c_str());
    error = "cannot write " + fileName;
    return false;
}

namespace {

std::vector<std::string> TranslationFiles()
{
    std::vector<std::string> files;
    std::error_code failure;
    for (const auto& item : std::filesystem::directory_iterator("lang", failure))
        if (item.path().extension() == ".po")
            files.push_back("lang/" + item.path().filename().string());
    return files;
}

} // namespace

bool ShownTexts::GameHasTranslations()
{
    return !TranslationFiles().empty();
}

std::vector<std::string> ShownTexts::StaleEntries() const
{
    if (!m_collecting)
        return {};
    std::vector<std::string> files = TranslationFiles();
    std::sort(files.begin(), files.end());
    std::vector<std::string> warnings;
    for (const std::string& file : files) {
        std::string error;
        const std::optional<PoCatalog> catalog = PoCatalog::Read(LoadDiskFile(file).value_or(""), file, error);
        if (!catalog) {
            // The log's "FILE, line N: " becomes the findings' "FILE:N: ".
            if (error.rfind(file + ", line ", 0) == 0)
                error.replace(file.size(), std::string(", line ").size(), ":");
            warnings.push_back(error + "; the game does not use this file");
            continue;
        }
        for (const PoEntry& entry : catalog->Entries()) {
            if (m_index.count(entry.Key()) != 0)
                continue;
            std::string said;
            if (entry.context)
                said = entry.context->empty() ? " with an empty msgctxt" : " said by " + Cited(*entry.context);
            warnings.push_back(file + ":" + std::to_string(entry.line) + ": the text " + Cited(entry.text) + said +
                               " is in no script any more");
        }
    }
    return warnings;
}

} // namespace Vel
