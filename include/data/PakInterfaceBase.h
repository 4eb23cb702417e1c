#pragma once

// The process-wide file interface: the operations of stdio and of a directory search, as one object that a module
// loaded into the process finds through the address PakInterface publishes. The engine itself reads through the 2D
// library and the standard streams, not through it.

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace Vel {

// An open file. Created by FOpen, destroyed by FClose (or with the interface that opened it).
struct PakFile
{
    const void* archiveEntry = nullptr; // the entry of an archive the file came from; none here
    long position = 0;                  // read position inside an archive entry
    std::FILE* file = nullptr;
};

// One result of a search.
struct PakFindData
{
    std::string fileName; // without its folder
    bool directory = false;
};

// A search in progress. Created by FindFirstFile, destroyed by FindClose (or with the interface).
struct PakSearch
{
    std::string pattern;
    std::vector<std::string> matches; // paths as the pattern produced them, in ascending byte order
    std::size_t next = 0;             // index of the match FindNextFile reports
};

class PakInterfaceBase
{
public:
    virtual ~PakInterfaceBase() = default;

    // Every handle argument may be nullptr or a handle of another interface: the call then fails harmlessly.
    virtual PakFile* FOpenW(const char16_t* name, const char16_t* mode) = 0;
    virtual PakFile* FOpen(const char* name, const char* mode) = 0;
    virtual int FClose(PakFile* file) = 0;
    virtual int FSeek(PakFile* file, long offset, int origin) = 0;
    virtual long FTell(PakFile* file) = 0;
    virtual std::size_t FRead(void* buffer, std::size_t size, std::size_t count, PakFile* file) = 0;
    virtual int FGetC(PakFile* file) = 0;
    virtual int UnGetC(int character, PakFile* file) = 0;
    virtual char16_t* FGetSW(char16_t* buffer, int size, PakFile* file) = 0;
    virtual char* FGetS(char* buffer, int size, PakFile* file) = 0;
    virtual int FEof(PakFile* file) = 0;
    // The first file matching a glob pattern in data; nullptr when none matches.
    virtual PakSearch* FindFirstFile(const char* pattern, PakFindData* data) = 0;
    // The next match in data; false when there is none left.
    virtual bool FindNextFile(PakSearch* search, PakFindData* data) = 0;
    virtual bool FindClose(PakSearch* search) = 0;
};

} // namespace Vel
