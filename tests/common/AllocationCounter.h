#pragma once

// Counts the heap allocations of the test program, so a test can show that steady-state drawing allocates
// nothing, and notes the largest one, so a test can show that a damaged count was not believed. The replaced global
// operator new (AllocationCounter.cpp) is linked into every test program.

#include <cstddef>

namespace Vel::TestTools {

// Allocations made by the whole program since it started.
std::size_t AllocationCount();

// The size in bytes of the largest single allocation since the last reset (or since the program started).
std::size_t LargestAllocation();
void ResetLargestAllocation();

// The allocations made while the object lived: Allocations() after the code under test ran.
class AllocationScope
{
public:
    AllocationScope() : m_start(AllocationCount()) {}
    [[nodiscard]] std::size_t Allocations() const { return AllocationCount() - m_start; }

private:
    std::size_t m_start;
};

} // namespace Vel::TestTools
