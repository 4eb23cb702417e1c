#pragma once

// The file interface start-up creates once, before the 2D library: it holds no archives, so every operation works
// on the disk through stdio and glob(). The address of the first instance is published, for modules loaded into
// the process, in the POSIX shared-memory object "/gPakInterfaceP_<pid>", a pointer-sized value that is 0 while no
// instance is published. The published instance sets it back to 0 when destroyed (so a later instance can be
// published instead of a dangling address); the object itself is removed when the process ends normally.

#include "data/PakInterfaceBase.h"

#include <map>
#include <memory>
#include <string>

namespace Vel {

class PakInterface : public PakInterfaceBase
{
public:
    PakInterface();
    ~PakInterface() override;

    PakInterface(const PakInterface&) = delete;
    PakInterface& operator=(const PakInterface&) = delete;

    // No wide-character files on this system: always nullptr.
    PakFile* FOpenW(const char16_t* name, const char16_t* mode) override;
    PakFile* FOpen(const char* name, const char* mode) override;
    // fclose's result; EOF for a handle this interface did not open.
    int FClose(PakFile* file) override;
    int FSeek(PakFile* file, long offset, int origin) override;
    long FTell(PakFile* file) override;
    std::size_t FRead(void* buffer, std::size_t size, std::size_t count, PakFile* file) override;
    int FGetC(PakFile* file) override;
    int UnGetC(int character, PakFile* file) override;
    // No wide-character reading on this system: nullptr, as for an error, with the buffer untouched.
    char16_t* FGetSW(char16_t* buffer, int size, PakFile* file) override;
    char* FGetS(char* buffer, int size, PakFile* file) override;
    int FEof(PakFile* file) override;
    PakSearch* FindFirstFile(const char* pattern, PakFindData* data) override;
    bool FindNextFile(PakSearch* search, PakFindData* data) override;
    bool FindClose(PakSearch* search) override;

    // Name of the shared-memory object of this process: "/gPakInterfaceP_" and the process id in decimal.
    [[nodiscard]] static std::string PublishedName();

private:
    // The stdio file of a handle this interface opened; nullptr for any other.
    std::FILE* Stream(PakFile* file) const;
    [[nodiscard]] bool Owns(PakSearch* search) const;

    std::map<const PakFile*, std::unique_ptr<PakFile>> m_files;
    std::map<const PakSearch*, std::unique_ptr<PakSearch>> m_searches;
    bool m_published = false;
};

} // namespace Vel
