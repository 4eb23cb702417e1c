#include "platform/ArchiveSet.h"

#include <zip.h>

#include <cstdlib>
#include <filesystem>
#include <limits>
#include <system_error>

namespace Vel {

struct ArchiveSet::Archive
{
    Archive(std::string name, zip_t* archive) : fileName(std::move(name)), zip(archive) {}
    ~Archive() { zip_discard(zip); }
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    std::string fileName;
    std::string identity; // canonical path, so one archive named two ways attaches once
    zip_t* zip;
};

namespace {

std::string CodeText(int code)
{
    switch (code) {
    case ZIP_ER_NOENT:
        return "the file does not exist";
    case ZIP_ER_NOZIP:
        return "not a ZIP archive";
    case ZIP_ER_INCONS:
        return "the archive is damaged";
    case ZIP_ER_WRONGPASSWD:
        return "wrong password";
    case ZIP_ER_NOPASSWD:
        return "a password is needed";
    case ZIP_ER_CRC:
        return "wrong password or damaged data (CRC error)";
    case ZIP_ER_ZLIB:
        return "wrong password or damaged data (decompression failed)";
    default:
        break;
    }
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

std::string ErrorText(zip_error_t* error)
{
    return CodeText(zip_error_code_zip(error));
}

std::string EntryName(std::string name)
{
    while (name.compare(0, 2, "./") == 0)
        name.erase(0, 2);
    return name;
}

std::string Identity(const std::string& fileName)
{
    std::error_code error;
    std::filesystem::path path = std::filesystem::weakly_canonical(fileName, error);
    return error ? fileName : path.string();
}

// Reads to the end of the entry, past its last byte: libzip checks the CRC only when it reaches the end, and a
// wrong traditional password sometimes shows only there.
bool ReadAll(zip_file_t* file, char* block, zip_uint64_t size, std::string& error)
{
    zip_uint64_t done = 0;
    char extra = 0;
    for (;;) {
        char* into = done < size ? block + done : &extra;
        zip_uint64_t wanted = done < size ? size - done : 1;
        zip_int64_t count = zip_fread(file, into, wanted);
        if (count < 0) {
            error = ErrorText(zip_file_get_error(file));
            return false;
        }
        if (count == 0)
            break;
        done += static_cast<zip_uint64_t>(count);
        if (done > size)
            break;
    }
    if (done != size)
        error = "the archive is damaged (entry size mismatch)";
    return done == size;
}

void* ReadEntry(zip_t* zip, zip_uint64_t index, std::uint32_t& size, std::string& error)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(zip, index, 0, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0) {
        error = "the archive is damaged (no entry size)";
        return nullptr;
    }
    if (stat.size >= std::numeric_limits<std::uint32_t>::max()) {
        error = "the entry is too large";
        return nullptr;
    }
    zip_file_t* file = zip_fopen_index(zip, index, 0);
    if (file == nullptr) {
        error = ErrorText(zip_get_error(zip));
        return nullptr;
    }
    auto* block = static_cast<char*>(std::malloc(stat.size + 1));
    bool ok = block != nullptr && ReadAll(file, block, stat.size, error);
    if (block == nullptr)
        error = "out of memory";
    int closeCode = zip_fclose(file);
    if (ok && closeCode != 0) {
        error = CodeText(closeCode);
        ok = false;
    }
    if (!ok) {
        std::free(block);
        return nullptr;
    }
    block[stat.size] = 0;
    size = static_cast<std::uint32_t>(stat.size);
    return block;
}

// The first entry that is a file, not a folder; -1 for none.
zip_int64_t FirstFile(zip_t* zip)
{
    zip_int64_t count = zip_get_num_entries(zip, 0);
    for (zip_int64_t index = 0; index < count; ++index) {
        const char* name = zip_get_name(zip, static_cast<zip_uint64_t>(index), 0);
        if (name != nullptr && *name != 0 && name[std::char_traits<char>::length(name) - 1] != '/')
            return index;
    }
    return -1;
}

bool ProvePassword(zip_t* zip, std::string& error)
{
    zip_int64_t first = FirstFile(zip);
    if (first < 0)
        return true;
    std::uint32_t size = 0;
    void* block = ReadEntry(zip, static_cast<zip_uint64_t>(first), size, error);
    std::free(block);
    return block != nullptr;
}

zip_t* OpenArchive(const std::string& fileName, std::string& error)
{
    std::error_code fsError;
    if (!std::filesystem::exists(fileName, fsError)) {
        error = "the file does not exist";
        return nullptr;
    }
    if (!std::filesystem::is_regular_file(fileName, fsError) || std::filesystem::file_size(fileName, fsError) == 0) {
        error = "not a ZIP archive";
        return nullptr;
    }
    int code = 0;
    zip_t* zip = zip_open(fileName.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (zip == nullptr)
        error = CodeText(code);
    return zip;
}

} // namespace

ArchiveSet::ArchiveSet() = default;
ArchiveSet::~ArchiveSet() = default;

bool ArchiveSet::Attach(const std::string& fileName, const std::string& password, std::string& error)
{
    std::string identity = Identity(fileName);
    for (const auto& archive : m_archives) {
        if (archive->identity == identity)
            return true;
    }
    zip_t* zip = OpenArchive(fileName, error);
    if (zip == nullptr)
        return false;
    auto archive = std::make_unique<Archive>(fileName, zip);
    archive->identity = identity;
    if (!password.empty() && zip_set_default_password(zip, password.c_str()) != 0) {
        error = ErrorText(zip_get_error(zip));
        return false;
    }
    if (!ProvePassword(zip, error))
        return false;
    m_archives.push_back(std::move(archive));
    return true;
}

void* ArchiveSet::Load(const std::string& name, std::uint32_t& size, std::string& error) const
{
    std::string entry = EntryName(name);
    for (const auto& archive : m_archives) {
        zip_int64_t index = zip_name_locate(archive->zip, entry.c_str(), 0);
        if (index < 0)
            continue;
        void* block = ReadEntry(archive->zip, static_cast<zip_uint64_t>(index), size, error);
        if (block == nullptr)
            error = "'" + entry + "' in '" + archive->fileName + "': " + error;
        return block;
    }
    return nullptr;
}

void ArchiveSet::Clear()
{
    m_archives.clear();
}

} // namespace Vel
