// Every test program counts its heap allocations (see AllocationCounter.h). The array forms of new and
// delete call these.
#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> s_allocations{0};
std::atomic<std::size_t> s_largest{0};

void* Allocate(std::size_t size) noexcept
{
    s_allocations.fetch_add(1, std::memory_order_relaxed);
    std::size_t largest = s_largest.load(std::memory_order_relaxed);
    while (size > largest && !s_largest.compare_exchange_weak(largest, size, std::memory_order_relaxed)) {
    }
    return std::malloc(size == 0 ? 1 : size);
}

} // namespace

std::size_t Vel::TestTools::AllocationCount()
{
    return s_allocations.load(std::memory_order_relaxed);
}

std::size_t Vel::TestTools::LargestAllocation()
{
    return s_largest.load(std::memory_order_relaxed);
}

void Vel::TestTools::ResetLargestAllocation()
{
    s_largest.store(0, std::memory_order_relaxed);
}

void* operator new(std::size_t size)
{
    if (void* block = Allocate(size))
        return block;
    throw std::bad_alloc();
}

// The standard library's temporary buffers use the nothrow form and free through the plain delete, so both forms
// must come from the same heap: AddressSanitizer reports a mismatch otherwise.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return Allocate(size);
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}
