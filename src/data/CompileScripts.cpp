#include "data/CompileScripts.h"

#include "core/TextCodec.h"
#include "data/Crypter.h"
#include "data/FileReader.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace Vel {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kSourceExtension = ".vls";

// Names of the regular files ending in ".vls", in ascending byte order.
std::vector<std::string> ListSources(const fs::path& folder)
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (!it->is_regular_file(typeError))
            continue;
        std::string name = it->path().filename().string();
        if (name.size() > kSourceExtension.size() && name.ends_with(kSourceExtension))
            names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string CompiledName(const std::string& sourceName)
{
    return sourceName.substr(0, sourceName.size() - kSourceExtension.size()) + ".cvls";
}

// Writes every line of the open source into the writer; false when the writer lost anything.
bool CopyLines(FileReader& reader, Crypter& writer, const std::string& sourceName, CompileResult& result)
{
    bool written = true;
    while (!reader.Eof()) {
        const std::u16string line = reader.ReadLine();
        if (reader.InvalidInLastLine() > 0)
            result.warnings.push_back(sourceName + ":" + std::to_string(reader.LineNumber()) +
                                      ": invalid UTF-8 replaced by U+FFFD");
        written = writer.WriteLine(line) && written;
    }
    return writer.CloseWrite() && written;
}

// The twin appears under its final name only once it is complete, so a crash leaves the old twin or none.
bool WriteTwin(FileReader& reader, const fs::path& folder, const std::string& sourceName,
               const std::string& compiledName, CompileResult& result)
{
    const fs::path target = folder / compiledName;
    const fs::path temporary = folder / (compiledName + "." + std::to_string(::getpid()) + ".tmp");
    Crypter writer;
    const bool opened = writer.OpenWrite(TextCodec::Utf8ToWide(temporary.string()));
    // The lines are read even when nothing can be written, so the warnings about the source are the same.
    const bool copied = CopyLines(reader, writer, sourceName, result);
    if (!opened)
        return false;
    std::error_code error;
    if (copied) {
        fs::rename(temporary, target, error);
        if (!error)
            return true;
    }
    fs::remove(temporary, error);
    return false;
}

void CompileOne(const fs::path& folder, const std::string& sourceName, CompileResult& result)
{
    FileReader reader;
    if (!reader.Open(TextCodec::Utf8ToWide((folder / sourceName).string()))) {
        result.warnings.push_back(sourceName + ": cannot be read; not compiled");
        return;
    }
    const std::string compiledName = CompiledName(sourceName);
    if (WriteTwin(reader, folder, sourceName, compiledName, result)) {
        ++result.compiled;
        return;
    }
    result.readFromSource[TextCodec::Utf8ToWide(compiledName)] = TextCodec::Utf8ToWide(sourceName);
    result.warnings.push_back(compiledName + ": cannot be written; " + sourceName + " is read from its source");
}

} // namespace

CompileResult CompileScripts(const std::string& folder)
{
    CompileResult result;
    const fs::path root(folder.empty() ? std::string(".") : folder);
    for (const std::string& sourceName : ListSources(root))
        CompileOne(root, sourceName, result);
    return result;
}

} // namespace Vel
