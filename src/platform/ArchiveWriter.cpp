#include "platform/ArchiveWriter.h"

#include <zip.h>

#include <filesystem>
#include <map>
#include <system_error>

namespace Vel {

namespace fs = std::filesystem;

namespace {

using EntryMap = std::map<std::string, fs::path>; // entry name -> file on disk, in name order

// The entry name a path given on the command line stands for (empty for the current folder itself).
std::string BaseName(const fs::path& path)
{
    fs::path normal = path.lexically_normal();
    bool climbs = !normal.empty() && *normal.begin() == "..";
    if (normal.is_absolute() || climbs) {
        std::error_code error;
        normal = fs::weakly_canonical(path, error).filename();
    }
    std::string name = normal.generic_string();
    while (!name.empty() && name.back() == '/')
        name.pop_back();
    return name == "." ? std::string() : name;
}

bool AddEntry(EntryMap& entries, const std::string& name, const fs::path& file, std::string& error)
{
    auto [found, added] = entries.emplace(name, file);
    std::error_code same;
    if (!added && !fs::equivalent(found->second, file, same)) {
        error = "two different files would both be called '" + name + "'";
        return false;
    }
    return true;
}

bool AddFolder(EntryMap& entries, const fs::path& folder, const std::string& base, const fs::path& archive,
               std::string& error)
{
    std::error_code walkError;
    for (fs::recursive_directory_iterator it(folder, walkError), end; !walkError && it != end;
         it.increment(walkError)) {
        std::error_code statError;
        if (!it->is_regular_file(statError) || fs::equivalent(it->path(), archive, statError))
            continue;
        std::string relative = it->path().lexically_relative(folder).generic_string();
        if (!AddEntry(entries, base.empty() ? relative : base + "/" + relative, it->path(), error))
            return false;
    }
    if (walkError)
        error = "cannot read the folder '" + folder.string() + "': " + walkError.message();
    return !walkError;
}

bool CollectEntries(const std::vector<std::string>& paths, const fs::path& archive, EntryMap& entries,
                    std::string& error)
{
    for (const std::string& given : paths) {
        fs::path path(given);
        std::error_code statError;
        if (fs::is_directory(path, statError)) {
            if (!AddFolder(entries, path, BaseName(path), archive, error))
                return false;
        } else if (fs::is_regular_file(path, statError)) {
            if (!AddEntry(entries, BaseName(path), path, error))
                return false;
        } else {
            error = "'" + given + "' is neither a file nor a folder";
            return false;
        }
    }
    if (entries.empty())
        error = "there are no files to pack";
    return !entries.empty();
}

bool AddToZip(zip_t* zip, const EntryMap& entries, const std::string& password, std::string& error)
{
    for (const auto& [name, file] : entries) {
        zip_source_t* source = zip_source_file(zip, file.c_str(), 0, -1);
        zip_int64_t index = source == nullptr ? -1 : zip_file_add(zip, name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            error = "cannot add '" + file.string() + "': " + zip_strerror(zip);
            return false;
        }
        if (!password.empty() &&
            zip_file_set_encryption(zip, static_cast<zip_uint64_t>(index), ZIP_EM_AES_256, password.c_str()) != 0) {
            error = std::string("cannot encrypt '") + name + "': " + zip_strerror(zip);
            return false;
        }
    }
    return true;
}

} // namespace

bool ArchiveWriter::Pack(const std::string& archiveName, const std::vector<std::string>& paths,
                         const std::string& password, std::string& error)
{
    EntryMap entries;
    if (!CollectEntries(paths, fs::path(archiveName), entries, error))
        return false;
    int code = 0;
    zip_t* zip = zip_open(archiveName.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (zip == nullptr) {
        zip_error_t zipError;
        zip_error_init_with_code(&zipError, code);
        error = "cannot create '" + archiveName + "': " + zip_error_strerror(&zipError);
        zip_error_fini(&zipError);
        return false;
    }
    if (!AddToZip(zip, entries, password, error)) {
        zip_discard(zip);
        return false;
    }
    if (zip_close(zip) != 0) {
        error = "cannot write '" + archiveName + "': " + zip_strerror(zip);
        zip_discard(zip);
        return false;
    }
    return true;
}

} // namespace Vel
