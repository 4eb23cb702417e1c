#pragma once

// The password-protected ZIP archives attached to the 2D library. Resource loading looks here, in attach order,
// before it looks on the disk. Traditional ZIP encryption and AES are both read.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace Vel {

class ArchiveSet
{
public:
    ArchiveSet();
    ~ArchiveSet();
    ArchiveSet(const ArchiveSet&) = delete;
    ArchiveSet& operator=(const ArchiveSet&) = delete;

    // Opens the archive and proves the password by reading its first file in full. False with the reason in error
    // when the file is missing, damaged, or the password does not open it. Attaching an attached archive again
    // succeeds without a second copy.
    [[nodiscard]] bool Attach(const std::string& fileName, const std::string& password, std::string& error);

    // The content of the first archive entry called name (exact, '/'-separated; a leading "./" is ignored), in a
    // malloc'ed block with a zero byte after its size bytes. nullptr when no archive has it, or (with the reason in
    // error) when the entry cannot be read.
    [[nodiscard]] void* Load(const std::string& name, std::uint32_t& size, std::string& error) const;

    void Clear();

private:
    struct Archive;
    std::vector<std::unique_ptr<Archive>> m_archives;
};

} // namespace Vel
