#pragma once

// A named block of memory that other modules of the process can open by its name (POSIX shared memory). The
// process-wide file interface publishes its address through one. The block is removed from the system when the
// object that created it is destroyed.

#include <cstddef>
#include <string>

namespace Vel {

class SharedMemory
{
public:
    SharedMemory() = default;
    ~SharedMemory();

    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;

    // Creates the block "name" (a leading '/' and no other) of size bytes, zero-filled, and maps it. A leftover
    // block of that name, from an earlier process that ended abnormally, is replaced. False when this object
    // already holds a block or the system refuses.
    [[nodiscard]] bool Create(const std::string& name, std::size_t size);

    // The mapped bytes; nullptr until Create succeeded.
    [[nodiscard]] void* Data() const { return m_data; }
    [[nodiscard]] std::size_t Size() const { return m_size; }
    [[nodiscard]] const std::string& Name() const { return m_name; }

private:
    std::string m_name;
    void* m_data = nullptr;
    std::size_t m_size = 0;
    int m_creatorProcess = 0; // a forked child must not remove its parent's block
};

} // namespace Vel
