// Every test program counts its heap allocations (see AllocationCounter.h). The array forms of new and
// delete call these.
#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> s_allocations{0};

} // namespace

std::size_t Vel::TestTools::AllocationCount()
{
    return s_allocations.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size)
{
    s_allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}
