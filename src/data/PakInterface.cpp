#include "data/PakInterface.h"

#include "platform/SharedMemory.h"

#include <glob.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstring>

namespace Vel {

namespace {

// The published value lives as long as the process: the block is created with the first interface and removed by
// this holder's destructor when the process ends normally. nullptr when the system refused the block.
std::uintptr_t* PublishedSlot()
{
    static SharedMemory s_block;
    static const bool s_created = s_block.Create(PakInterface::PublishedName(), sizeof(std::uintptr_t));
    return s_created ? static_cast<std::uintptr_t*>(s_block.Data()) : nullptr;
}

void FillFindData(const std::string& path, PakFindData* data)
{
    if (!data)
        return;
    const std::size_t slash = path.find_last_of('/');
    data->fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    struct stat status
    {
    };
    data->directory = stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

std::vector<std::string> GlobMatches(const char* pattern)
{
    std::vector<std::string> matches;
    glob_t found{};
    if (glob(pattern, 0, nullptr, &found) == 0) {
        for (std::size_t index = 0; index < found.gl_pathc; ++index)
            matches.emplace_back(found.gl_pathv[index]);
    }
    globfree(&found);
    return matches;
}

} // namespace

PakInterface::PakInterface()
{
    std::uintptr_t* slot = PublishedSlot();
    if (slot && *slot == 0) {
        *slot = reinterpret_cast<std::uintptr_t>(static_cast<PakInterfaceBase*>(this));
        m_published = true;
    }
}

PakInterface::~PakInterface()
{
    for (auto& [handle, file] : m_files)
        std::fclose(file->file);
    if (m_published)
        *PublishedSlot() = 0;
}

std::string PakInterface::PublishedName()
{
    return "/gPakInterfaceP_" + std::to_string(::getpid());
}

std::FILE* PakInterface::Stream(PakFile* file) const
{
    const auto found = m_files.find(file);
    return found == m_files.end() ? nullptr : found->second->file;
}

bool PakInterface::Owns(PakSearch* search) const
{
    return m_searches.find(search) != m_searches.end();
}

PakFile* PakInterface::FOpenW(const char16_t*, const char16_t*)
{
    return nullptr;
}

PakFile* PakInterface::FOpen(const char* name, const char* mode)
{
    if (!name || !mode)
        return nullptr;
    std::FILE* stream = std::fopen(name, mode);
    if (!stream)
        return nullptr;
    auto file = std::make_unique<PakFile>();
    file->file = stream;
    PakFile* handle = file.get();
    m_files.emplace(handle, std::move(file));
    return handle;
}

int PakInterface::FClose(PakFile* file)
{
    const auto found = m_files.find(file);
    if (found == m_files.end())
        return EOF;
    const int result = std::fclose(found->second->file);
    m_files.erase(found);
    return result;
}

int PakInterface::FSeek(PakFile* file, long offset, int origin)
{
    std::FILE* stream = Stream(file);
    return stream ? std::fseek(stream, offset, origin) : -1;
}

long PakInterface::FTell(PakFile* file)
{
    std::FILE* stream = Stream(file);
    return stream ? std::ftell(stream) : -1L;
}

std::size_t PakInterface::FRead(void* buffer, std::size_t size, std::size_t count, PakFile* file)
{
    std::FILE* stream = Stream(file);
    return stream && buffer ? std::fread(buffer, size, count, stream) : 0;
}

int PakInterface::FGetC(PakFile* file)
{
    std::FILE* stream = Stream(file);
    return stream ? std::fgetc(stream) : EOF;
}

int PakInterface::UnGetC(int character, PakFile* file)
{
    std::FILE* stream = Stream(file);
    return stream ? std::ungetc(character, stream) : EOF;
}

char16_t* PakInterface::FGetSW(char16_t*, int, PakFile*)
{
    return nullptr;
}

char* PakInterface::FGetS(char* buffer, int size, PakFile* file)
{
    std::FILE* stream = Stream(file);
    return stream && buffer && size > 0 ? std::fgets(buffer, size, stream) : nullptr;
}

int PakInterface::FEof(PakFile* file)
{
    std::FILE* stream = Stream(file);
    // A handle that is no open file reads as ended, so a reading loop stops.
    return stream ? std::feof(stream) : 1;
}

PakSearch* PakInterface::FindFirstFile(const char* pattern, PakFindData* data)
{
    if (!pattern || !*pattern)
        return nullptr;
    auto search = std::make_unique<PakSearch>();
    search->pattern = pattern;
    search->matches = GlobMatches(pattern);
    if (search->matches.empty())
        return nullptr;
    FillFindData(search->matches.front(), data);
    search->next = 1;
    PakSearch* handle = search.get();
    m_searches.emplace(handle, std::move(search));
    return handle;
}

bool PakInterface::FindNextFile(PakSearch* search, PakFindData* data)
{
    if (!Owns(search) || search->next >= search->matches.size())
        return false;
    FillFindData(search->matches[search->next++], data);
    return true;
}

bool PakInterface::FindClose(PakSearch* search)
{
    return m_searches.erase(search) > 0;
}

} // namespace Vel
