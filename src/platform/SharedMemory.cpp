#include "platform/SharedMemory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>

namespace Vel {

namespace {

int CreateExclusive(const std::string& name)
{
    int descriptor = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    if (descriptor < 0 && errno == EEXIST) {
        // Block names are unique to their creator (the file interface puts its process id in it), so a block
        // that exists already was left behind by a process that died before removing it.
        shm_unlink(name.c_str());
        descriptor = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
    }
    return descriptor;
}

} // namespace

SharedMemory::~SharedMemory()
{
    if (!m_data)
        return;
    munmap(m_data, m_size);
    if (m_creatorProcess == static_cast<int>(getpid()))
        shm_unlink(m_name.c_str());
}

bool SharedMemory::Create(const std::string& name, std::size_t size)
{
    if (m_data || size == 0 || name.size() < 2 || name[0] != '/' || name.find('/', 1) != std::string::npos)
        return false;
    const int descriptor = CreateExclusive(name);
    if (descriptor < 0)
        return false;
    void* data = MAP_FAILED;
    if (ftruncate(descriptor, static_cast<off_t>(size)) == 0)
        data = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, descriptor, 0);
    // The mapping keeps the block alive; the descriptor is no longer needed.
    close(descriptor);
    if (data == MAP_FAILED) {
        shm_unlink(name.c_str());
        return false;
    }
    m_name = name;
    m_data = data;
    m_size = size;
    m_creatorProcess = static_cast<int>(getpid());
    return true;
}

} // namespace Vel
